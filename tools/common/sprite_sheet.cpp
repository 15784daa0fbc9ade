#include "sprite_sheet.h"

#include <algorithm>
#include <cstring>

PixelRect TrimToAlpha(const RgbaImage& f) {
    PixelRect r = {f.w, f.h, 0, 0};
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x)
            if (f.At(x, y)[3]) {
                r.x0 = std::min(r.x0, x);
                r.y0 = std::min(r.y0, y);
                r.x1 = std::max(r.x1, x + 1);
                r.y1 = std::max(r.y1, y + 1);
            }
    if (r.x1 <= r.x0) r = {0, 0, 1, 1};
    return r;
}

SheetCell TrimmedCell(const RgbaImage& f) {
    SheetCell c;
    c.source = TrimToAlpha(f);
    for (int y = c.source.y0; y < c.source.y1; ++y)
        c.key.insert(c.key.end(), f.At(c.source.x0, y), f.At(c.source.x1, y));
    c.key.push_back((unsigned char)c.source.x0);
    c.key.push_back((unsigned char)c.source.y0);
    return c;
}

size_t FindOrAddCell(std::vector<SheetCell>& cells, SheetCell c) {
    size_t k = 0;
    while (k < cells.size() &&
           !(cells[k].key == c.key && cells[k].source.x0 == c.source.x0 && cells[k].source.y0 == c.source.y0))
        ++k;
    if (k == cells.size()) cells.push_back(std::move(c));
    return k;
}

RgbaImage PaintSheet(const std::vector<SheetCell>& cells, int width, int height,
                     const std::function<const RgbaImage&(size_t)>& pictureOf) {
    RgbaImage image(width, height);
    for (size_t k = 0; k < cells.size(); ++k) {
        const RgbaImage& f = pictureOf(k);
        const SheetCell& c = cells[k];
        for (int y = 0; y < c.source.H(); ++y)
            std::memcpy(image.At(c.x, c.y + y), f.At(c.source.x0, c.source.y0 + y), (size_t)c.source.W() * 4);
    }
    return image;
}

namespace {

int PowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

} // namespace

void LayoutShelves(std::vector<SheetCell>& cells, int& width, int& height) {
    long best = -1, bestArea = 0;
    for (int w : {256, 512, 1024, 2048}) {
        int x = 0, y = 0, shelf = 0, widest = 0;
        bool fits = true;
        for (const SheetCell& c : cells) {
            if (c.source.W() + 2 > w) fits = false;
            if (x + c.source.W() + 2 > w) {
                y += shelf;
                x = shelf = 0;
            }
            x += c.source.W() + 2;
            shelf = std::max(shelf, c.source.H() + 2);
            widest = std::max(widest, x);
        }
        const int h = y + shelf;
        if (!fits || h > 4096) continue;
        const long padded = (long)PowerOfTwo(widest) * PowerOfTwo(h), area = (long)widest * h;
        if (best < 0 || padded < best || (padded == best && area < bestArea)) {
            best = padded;
            bestArea = area;
            width = w;
        }
    }
    int x = 0, y = 0, shelf = 0, widest = 0;
    for (SheetCell& c : cells) {
        if (x + c.source.W() + 2 > width) {
            y += shelf;
            x = shelf = 0;
        }
        c.x = x + 1;
        c.y = y + 1;
        x += c.source.W() + 2;
        shelf = std::max(shelf, c.source.H() + 2);
        widest = std::max(widest, x);
    }
    width = widest;
    height = y + shelf;
}

void PackBytes::U16(unsigned v) {
    b.push_back((unsigned char)v);
    b.push_back((unsigned char)(v >> 8));
}

void PackBytes::U32(unsigned v) {
    for (int i = 0; i < 4; ++i) b.push_back((unsigned char)(v >> (8 * i)));
}

void PackBytes::F32(float f) {
    unsigned v;
    std::memcpy(&v, &f, 4);
    U32(v);
}

void PackBytes::Name(const std::string& s, char last) {
    std::string n = s;
    n.resize(64, '\0');
    n[63] = last;
    b.insert(b.end(), n.begin(), n.end());
}

std::vector<unsigned char> WriteSpritePack(const std::vector<SpriteClip>& clips, float originX, float originY,
                                           int sheetW, int sheetH) {
    auto ux = [&](int px) { return (px - originX) / kSpritePixelsPerUnit; };
    auto uy = [&](int py) { return (originY - py) / kSpritePixelsPerUnit; };
    PackBytes o;
    float box[6] = {1e9f, 1e9f, 0, -1e9f, -1e9f, 0};
    for (const SpriteClip& clip : clips)
        for (const SheetCell* f : clip.frames) {
            box[0] = std::min(box[0], ux(f->source.x0));
            box[1] = std::min(box[1], uy(f->source.y1));
            box[3] = std::max(box[3], ux(f->source.x1));
            box[4] = std::max(box[4], uy(f->source.y0));
        }
    for (float v : box) o.F32(v);
    o.U32((unsigned)clips.size());
    for (const SpriteClip& clip : clips) {
        o.Name(clip.name);
        o.U32((unsigned)clip.frames.size());
        o.U32((unsigned)clip.frames.size());
        for (const SheetCell* f : clip.frames) {
            const float x0 = ux(f->source.x0), x1 = ux(f->source.x1), yTop = uy(f->source.y0),
                        yBottom = uy(f->source.y1);
            const float xyz[12] = {x0, yBottom, 0, x1, yBottom, 0, x1, yTop, 0, x0, yTop, 0};
            const float u0 = (float)f->x / sheetW, u1 = (float)(f->x + f->source.W()) / sheetW;
            const float v0 = (float)f->y / sheetH, v1 = (float)(f->y + f->source.H()) / sheetH;
            const float uv[8] = {u0, v1, u1, v1, u1, v0, u0, v0};  // y up, v down
            const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
            o.U32(4);
            for (float v : xyz) o.F32(v);
            o.U32(2);
            for (unsigned i : quad) o.U16(i);
            o.U32(4);
            for (float v : uv) o.F32(v);
            o.U32(2);
            for (unsigned i : quad) o.U16(i);
        }
        // One key each: in place, unturned, unscaled.
        o.U32(1);
        for (float v : {0.0f, 0.0f, 0.0f}) o.F32(v);
        o.U32(1);
        for (float v : {0.0f, 0.0f, 0.0f, 1.0f}) o.F32(v);
        o.U32(1);
        for (float v : {1.0f, 1.0f, 1.0f}) o.F32(v);
    }
    const unsigned directory = (unsigned)o.b.size();
    o.U32(1);
    o.Name("body", '#');
    o.U32(0);
    o.U32(directory);
    return o.b;
}

namespace {

struct Cursor {
    const std::vector<unsigned char>& b;
    size_t at;
    bool ok = true;
    unsigned U32() {
        if (!ok || at + 4 > b.size()) return ok = false, 0;
        unsigned v = b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (unsigned)b[at + 3] << 24;
        at += 4;
        return v;
    }
    unsigned U16() {
        if (!ok || at + 2 > b.size()) return ok = false, 0;
        unsigned v = b[at] | b[at + 1] << 8;
        at += 2;
        return v;
    }
    float F32() {
        unsigned v = U32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    std::string Name() {
        if (!ok || at + 64 > b.size()) return ok = false, std::string();
        std::string s(b.begin() + at, b.begin() + at + 64);
        at += 64;
        return s;
    }
    // A list of width-float values and its triangle indices, expanded.
    bool Expanded(int width, std::vector<float>& out) {
        unsigned n = U32();
        if (!ok || n == 0) return false;  // none: the previous list stands
        if (n > (b.size() - at) / (4 * width)) return ok = false;
        std::vector<float> values((size_t)n * width);
        for (float& v : values) v = F32();
        unsigned t = U32();
        if (!ok || t > (b.size() - at) / 6) return ok = false;
        out.clear();
        for (unsigned i = 0; i < t * 3; ++i) {
            unsigned k = U16();
            if (k >= n) return ok = false;
            out.insert(out.end(), values.begin() + (size_t)k * width, values.begin() + (size_t)(k + 1) * width);
        }
        return true;
    }
};

} // namespace

bool ReadPackPart(const std::vector<unsigned char>& bytes, const std::string& part, PackTriangles& first,
                  PackSummary& summary, std::string& error) {
    Cursor in{bytes, bytes.size() >= 4 ? bytes.size() - 4 : 0};
    in.at = in.U32();
    unsigned entries = in.U32();
    long offset = -1;
    for (unsigned i = 0; in.ok && i < entries && i < 4096; ++i) {
        std::string name = in.Name();
        unsigned at = in.U32();
        if (in.ok && name.compare(0, name.find('\0'), part) == 0 && name.find('\0') == part.size()) {
            offset = at;
            summary.box = (unsigned char)name[63] == '#';
        }
    }
    if (!in.ok || offset < 0) {
        error = "no part \"" + part + "\"";
        return false;
    }
    in.at = (size_t)offset;
    if (summary.box)
        for (int i = 0; i < 6; ++i) in.F32();
    unsigned clips = in.U32();
    for (unsigned c = 0; in.ok && c < clips && c < 4096; ++c) {
        std::string name = in.Name();
        unsigned frames = in.U32(), meshes = in.U32();
        summary.clips.push_back({name.substr(0, name.find('\0')), frames});
        std::vector<float> xyz, uv;
        for (unsigned m = 0; in.ok && m < meshes; ++m) {
            in.Expanded(3, xyz);
            const bool newUv = in.Expanded(2, uv);
            std::vector<float> rect = {1, 1, 0, 0};
            for (size_t i = 0; i + 1 < uv.size(); i += 2) {
                rect[0] = std::min(rect[0], uv[i]);
                rect[1] = std::min(rect[1], uv[i + 1]);
                rect[2] = std::max(rect[2], uv[i]);
                rect[3] = std::max(rect[3], uv[i + 1]);
            }
            (void)newUv;
            summary.rects.push_back(rect);
            if (c == 0 && m == 0) {
                first.xyz = xyz;
                first.uv = uv;
            }
        }
        for (int kind = 0, width = 3; in.ok && kind < 3; ++kind, width = kind == 1 ? 4 : 3) {
            unsigned n = in.U32();
            if (n > (bytes.size() - in.at) / (4 * width)) in.ok = false;
            for (unsigned i = 0; in.ok && i < n * width; ++i) in.F32();
        }
    }
    if (!in.ok) {
        error = "damaged pack";
        return false;
    }
    if (first.xyz.size() / 3 != first.uv.size() / 2) {
        error = "a frame whose positions and texture coordinates differ in number";
        return false;
    }
    return true;
}
