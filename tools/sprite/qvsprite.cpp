// qvsprite: the sprite packer of the Lite edition. The Lite draws every
// picture 1:1 at screen pixels; this tool bakes the full edition's art to
// that size for an 800 x 600 client area.
//
//   qvsprite --in <generated content> --out <dir> --manifest <fragment.xml>
//            [--group <path>] <list>...
//
// A list holds lines ('#' starts a comment):
//   sprite <MODEL_LABEL> <pack> <image> <SHEET_LABEL> [scale <s>] [aspect <a>] [as <name>]
// <pack> (under <in>/models/) and <image> (under <in>/images/, PNG or JPEG)
// are a model pack and the image it is drawn with; "aspect" stretches x
// only, as the GUI's attribute of that name does; "as" names the pack
// written (and its sheet), so that one pack can be baked at several sizes.
// Lines that name the same sheet label share that one sheet (drawn from one
// image): the game may swap such models on a control that keeps its sheet. For each, the tool writes
// a pack of the same name into <out>/<group>, in which every frame mesh is
// made of quads: a mesh of two triangles stays that quad, any other mesh
// becomes the quad around it. Each quad's part of the image is resampled to
// the quad's size in pixels (times the scale) into one sheet per pack,
// <sheet name>.png, and the quad's texture coordinates name that cell. The
// positions are scaled; parts, hit boxes (scaled), clips and keys stay as
// they are. The fragment lists every pack and sheet as one manifest group.
//
//   turn <MODEL_LABEL> <output.mdl> <pack> <image> <SHEET_LABEL> <option>...
// draws the first frame of <pack>'s part "body" with <image>, head-on, at a
// number of turns about the model's own axis (clockwise as seen from the
// front, as the full edition's wheels turn), each turn one frame: a pack
// <output.mdl> of part "body" whose clips hold one quad a frame, placed
// where the frame lies about the model's origin, and its sheet
// <output>.png (frames trimmed to their pixels, frames alike sharing a
// cell) or <output>.jpg (opaque frames of the whole crop). Options:
//   frames <n> over <degrees>   clip "idle": frame k turned k x degrees / n
//   clip <name> <degrees>...    a clip of its own, one frame a turn
//   at <degrees>                a turn added to every frame
//   scale <s>                   the pack's units x 300 pixels x s
//   tilt <degrees>              the turned model leans back about x
//   fold <from> <degrees>       the image's slice of <degrees> clockwise from
//                               <from> (of its top, about its middle)
//                               squeezed into every "over" of the frames and
//                               its middle quarter made even round about, so
//                               that a sequence covering part of a turn loops
//   crop <x0> <y0> <x1> <y1>    only this rectangle (view units about the
//                               model's origin, y up)
//   jpeg <quality>              opaque frames (needs a crop), laid over
//   backdrop <rrggbb>           this colour, in hex (default black)
//   limit <megabytes>           the most the sheet may take once loaded
//                               (3 bytes a pixel for JPEG, 4 for PNG)
// Each pack is read back before it is written: its clips must hold their
// frames, each on its own cell of the sheet, or the build stops.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "file_util.h"
#include "image_io.h"
#include "manifest_group.h"
#include "sprite_sheet.h"
#include "turned_sprites.h"

namespace {

const float kPixelsPerUnit = kSpritePixelsPerUnit;

struct Failure {
    std::string message;
};
[[noreturn]] void Fail(const std::string& message) { throw Failure{message}; }

// ---- Images, 8-bit RGBA ----

using Image = RgbaImage;

Image ReadImage(const std::string& path) {
    Image out;
    std::string error;
    if (!ReadImageFile(path, out, error)) Fail(error);
    return out;
}

std::vector<unsigned char> WritePng(const Image& img) {
    std::vector<unsigned char> out = EncodeRgbaPng(img);
    if (out.empty()) Fail("cannot encode a sheet");
    return out;
}

// The part (u0, v0)-(u1, v1) of the image resampled to w x h pixels: each
// pixel the mean of 4 x 4 bilinear samples, with alpha-weighted colour, so
// that edges against transparency keep their colour.
void Resample(const Image& src, float u0, float v0, float u1, float v1, Image& dst, int dx, int dy, int w, int h) {
    auto texel = [&](int x, int y, int k) {
        x = std::min(std::max(x, 0), src.w - 1);
        y = std::min(std::max(y, 0), src.h - 1);
        return (float)src.px[((size_t)y * src.w + x) * 4 + k];
    };
    const int n = 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    float u = u0 + (u1 - u0) * (x + (sx + 0.5f) / n) / w;
                    float v = v0 + (v1 - v0) * (y + (sy + 0.5f) / n) / h;
                    float fx = u * src.w - 0.5f, fy = v * src.h - 0.5f;
                    int ix = (int)std::floor(fx), iy = (int)std::floor(fy);
                    float ax = fx - ix, ay = fy - iy;
                    float weights[4] = {(1 - ax) * (1 - ay), ax * (1 - ay), (1 - ax) * ay, ax * ay};
                    int xs[4] = {ix, ix + 1, ix, ix + 1}, ys[4] = {iy, iy, iy + 1, iy + 1};
                    for (int s = 0; s < 4; ++s) {
                        float a = texel(xs[s], ys[s], 3) * weights[s];
                        for (int k = 0; k < 3; ++k) sum[k] += texel(xs[s], ys[s], k) * a;
                        sum[3] += a;
                    }
                }
            unsigned char* p = &dst.px[((size_t)(dy + y) * dst.w + dx + x) * 4];
            float alpha = sum[3] / (n * n);
            for (int k = 0; k < 3; ++k) p[k] = sum[3] > 0 ? (unsigned char)std::lround(sum[k] / sum[3]) : 0;
            p[3] = (unsigned char)std::lround(std::min(255.0f, alpha));
        }
}

// ---- Model packs ----

struct Reader {
    const std::vector<unsigned char>& b;
    size_t at;
    std::string name;
    unsigned U32() {
        if (at + 4 > b.size()) Fail(name + ": cut short");
        unsigned v = b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (unsigned)b[at + 3] << 24;
        at += 4;
        return v;
    }
    float F32() {
        unsigned v = U32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    unsigned U16() {
        if (at + 2 > b.size()) Fail(name + ": cut short");
        unsigned v = b[at] | b[at + 1] << 8;
        at += 2;
        return v;
    }
    std::string Bytes(size_t n) {
        if (at + n > b.size()) Fail(name + ": cut short");
        std::string s(b.begin() + at, b.begin() + at + n);
        at += n;
        return s;
    }
};

using Writer = PackBytes;

struct Quad {
    float x0, y0, x1, y1, z;  // positions, already scaled
    float u0, v0, u1, v1;     // the part of the source image
};

struct Cell {
    int x, y, w, h;
};

// Cells of one sheet, each size and image part once: collected with Add
// while the pack is read, laid out on shelves by Pack (the tallest first,
// at the width that gives the smallest sheet), then looked up with Cell.
struct Sheet {
    using Key = std::tuple<int, int, long, long, long, long>;
    int width = 1, height = 1;
    std::map<Key, Cell> cells;
    std::vector<std::pair<Cell, Quad>> order;  // first seen first; cells valid after Pack

    static Key KeyOf(const Quad& q, int& w, int& h) {
        w = std::max(1, (int)std::lround((q.x1 - q.x0) * kPixelsPerUnit));
        h = std::max(1, (int)std::lround((q.y1 - q.y0) * kPixelsPerUnit));
        return std::make_tuple(w, h, std::lround(q.u0 * 1e5), std::lround(q.v0 * 1e5), std::lround(q.u1 * 1e5),
                               std::lround(q.v1 * 1e5));
    }
    void Add(const Quad& q) {
        int w, h;
        Key key = KeyOf(q, w, h);
        if (cells.count(key)) return;
        cells[key] = Cell{0, 0, w, h};
        order.push_back({cells[key], q});
    }
    Cell At(const Quad& q) const {
        int w, h;
        return cells.at(KeyOf(q, w, h));
    }
    // Shelves of the given width, a pixel of clear space around each cell;
    // returns the height and fills placed (in the order of byHeight).
    static int Shelve(const std::vector<Cell>& byHeight, int shelfWidth, std::vector<Cell>& placed) {
        int x = 0, y = 0, shelfH = 0;
        placed.clear();
        for (const Cell& c : byHeight) {
            if (x + c.w + 2 > shelfWidth) {
                y += shelfH;
                shelfH = 0;
                x = 0;
            }
            placed.push_back(Cell{x + 1, y + 1, c.w, c.h});
            x += c.w + 2;
            shelfH = std::max(shelfH, c.h + 2);
        }
        return y + shelfH;
    }
    void Pack() {
        std::vector<size_t> idx(order.size());
        for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
        std::stable_sort(idx.begin(), idx.end(),
                         [&](size_t a, size_t b) { return order[a].first.h > order[b].first.h; });
        std::vector<Cell> byHeight;
        int widest = 1;
        for (size_t i : idx) {
            byHeight.push_back(order[i].first);
            widest = std::max(widest, order[i].first.w + 2);
        }
        int bestW = widest, bestH = 0;
        long bestArea = -1;
        std::vector<Cell> placed, best;
        for (int w = widest; w <= std::max(widest, 2048); w += (w < 256 ? 4 : 16)) {
            int h = Shelve(byHeight, w, placed);
            long area = (long)w * h;
            if (bestArea < 0 || area < bestArea) bestArea = area, bestW = w, bestH = h, best = placed;
        }
        width = bestW;
        height = std::max(1, bestH);
        for (size_t k = 0; k < idx.size(); ++k) {
            Cell& c = order[idx[k]].first;
            c = best[k];
            int w, h;
            cells[KeyOf(order[idx[k]].second, w, h)] = c;
        }
    }
};

// One frame mesh as quads.
std::vector<Quad> MeshQuads(const std::vector<float>& pos, const std::vector<unsigned>& posIdx,
                            const std::vector<float>& uv, const std::vector<unsigned>& uvIdx, float scale,
                            float aspect) {
    std::vector<Quad> quads;
    auto around = [&](size_t first, size_t count) {
        Quad q = {1e9f, 1e9f, -1e9f, -1e9f, 0, 1e9f, 1e9f, -1e9f, -1e9f};
        for (size_t i = first; i < first + count; ++i) {
            const float* p = &pos[posIdx[i] * 3];
            const float* t = &uv[uvIdx[i] * 2];
            q.x0 = std::min(q.x0, p[0] * scale * aspect);
            q.x1 = std::max(q.x1, p[0] * scale * aspect);
            q.y0 = std::min(q.y0, p[1] * scale);
            q.y1 = std::max(q.y1, p[1] * scale);
            q.z = std::max(q.z, p[2] * scale);
            q.u0 = std::min(q.u0, t[0]);
            q.u1 = std::max(q.u1, t[0]);
            q.v0 = std::min(q.v0, t[1]);
            q.v1 = std::max(q.v1, t[1]);
        }
        // Edges on whole pixels: neighbouring quads (a panel cut into nine)
        // then meet without a seam wherever the control stands.
        for (float* e : {&q.x0, &q.y0, &q.x1, &q.y1}) *e = std::round(*e * kPixelsPerUnit) / kPixelsPerUnit;
        quads.push_back(q);
    };
    const size_t corners = posIdx.size();
    if (corners == 0 || corners != uvIdx.size()) return quads;
    // Two triangles a quad, as qvmodel writes them; anything else as one.
    bool pairs = corners % 6 == 0;
    for (size_t i = 0; pairs && i < corners; i += 6) {
        std::vector<unsigned> used(posIdx.begin() + i, posIdx.begin() + i + 6);
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        if (used.size() != 4) pairs = false;
    }
    if (pairs && corners / 6 <= 256) {
        for (size_t i = 0; i < corners; i += 6) around(i, 6);
    } else {
        around(0, corners);
    }
    return quads;
}

void WriteQuads(Writer& w, const std::vector<std::pair<Quad, Cell>>& quads, int sheetW, int sheetH) {
    w.U32((unsigned)quads.size() * 4);
    for (const auto& qc : quads) {
        const Quad& q = qc.first;
        const float xyz[12] = {q.x0, q.y0, q.z, q.x1, q.y0, q.z, q.x1, q.y1, q.z, q.x0, q.y1, q.z};
        for (float f : xyz) w.F32(f);
    }
    w.U32((unsigned)quads.size() * 2);
    for (unsigned i = 0; i < quads.size(); ++i) {
        const unsigned b = i * 4, idx[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
        for (unsigned k : idx) w.U16(k);
    }
    w.U32((unsigned)quads.size() * 4);
    for (const auto& qc : quads) {
        const Cell& c = qc.second;
        float u0 = (float)c.x / sheetW, u1 = (float)(c.x + c.w) / sheetW;
        float v0 = (float)c.y / sheetH, v1 = (float)(c.y + c.h) / sheetH;
        const float uv[8] = {u0, v1, u1, v1, u1, v0, u0, v0};  // y up, v down
        for (float f : uv) w.F32(f);
    }
    w.U32((unsigned)quads.size() * 2);
    for (unsigned i = 0; i < quads.size(); ++i) {
        const unsigned b = i * 4, idx[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
        for (unsigned k : idx) w.U16(k);
    }
}

struct SpriteJob {
    std::string modelLabel, pack, image, sheetLabel;
    float scale = 1.0f, aspect = 1.0f;
    std::string output;  // the pack written; the source's name when empty
};

// A pack as read: its parts, clips and quads (positions scaled), the keys as they are.
struct MeshOut {
    std::vector<Quad> quads;
};
struct ClipOut {
    std::string name;
    unsigned frames;
    std::vector<MeshOut> meshes;
    std::string keys;  // copied as they are
};
struct PartOut {
    std::string name;  // 64 bytes as stored
    bool box;
    float boxValues[6];
    std::vector<ClipOut> clips;
};

// Reads a pack; every quad's cell goes into the sheet.
std::vector<PartOut> ReadPack(const SpriteJob& job, const std::string& in, Sheet& sheet) {
    const std::string packPath = JoinPath(JoinPath(in, "models"), job.pack);
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(packPath, bytes) || bytes.size() < 8) Fail("cannot read " + packPath);
    Reader r{bytes, bytes.size() - 4, packPath};
    r.at = r.U32();

    std::vector<PartOut> parts;
    unsigned partCount = r.U32();
    std::vector<std::pair<std::string, unsigned>> entries;
    for (unsigned i = 0; i < partCount; ++i) {
        std::string name = r.Bytes(64);
        entries.push_back({name, r.U32()});
    }
    for (const auto& e : entries) {
        PartOut part;
        part.name = e.first;
        part.box = (unsigned char)e.first[63] == '#';
        r.at = e.second;
        if (part.box)
            for (int i = 0; i < 6; ++i) part.boxValues[i] = r.F32() * job.scale * (i % 3 == 0 ? job.aspect : 1.0f);
        unsigned clips = r.U32();
        for (unsigned c = 0; c < clips; ++c) {
            ClipOut clip;
            clip.name = r.Bytes(64);
            clip.frames = r.U32();
            unsigned meshes = r.U32();
            std::vector<float> pos, uv;
            std::vector<unsigned> posIdx, uvIdx;
            for (unsigned m = 0; m < meshes; ++m) {
                unsigned p = r.U32();
                if (p) {
                    pos.clear();
                    posIdx.clear();
                    for (unsigned i = 0; i < p * 3; ++i) pos.push_back(r.F32());
                    unsigned t = r.U32();
                    for (unsigned i = 0; i < t * 3; ++i) posIdx.push_back(r.U16());
                }
                unsigned u = r.U32();
                if (u) {
                    uv.clear();
                    uvIdx.clear();
                    for (unsigned i = 0; i < u * 2; ++i) uv.push_back(r.F32());
                    unsigned t = r.U32();
                    for (unsigned i = 0; i < t * 3; ++i) uvIdx.push_back(r.U16());
                }
                for (unsigned i : posIdx)
                    if (i * 3 + 2 >= pos.size()) Fail(packPath + ": index out of range");
                for (unsigned i : uvIdx)
                    if (i * 2 + 1 >= uv.size()) Fail(packPath + ": index out of range");
                MeshOut mesh;
                mesh.quads = MeshQuads(pos, posIdx, uv, uvIdx, job.scale, job.aspect);
                for (const Quad& q : mesh.quads) sheet.Add(q);
                clip.meshes.push_back(mesh);
            }
            size_t keysStart = r.at;
            for (unsigned n = r.U32(), i = 0; i < n * 3; ++i) r.F32();
            for (unsigned n = r.U32(), i = 0; i < n * 4; ++i) r.F32();
            for (unsigned n = r.U32(), i = 0; i < n * 3; ++i) r.F32();
            clip.keys.assign(bytes.begin() + keysStart, bytes.begin() + r.at);
            part.clips.push_back(clip);
        }
        parts.push_back(part);
    }

    return parts;
}

// The pack written for the sheet it is drawn from.
std::vector<unsigned char> WritePack(const std::vector<PartOut>& parts, const Sheet& sheet) {
    Writer w;
    std::vector<unsigned> offsets;
    for (const PartOut& part : parts) {
        offsets.push_back((unsigned)w.b.size());
        if (part.box)
            for (float f : part.boxValues) w.F32(f);
        w.U32((unsigned)part.clips.size());
        for (const ClipOut& clip : part.clips) {
            w.Bytes(clip.name);
            w.U32(clip.frames);
            w.U32((unsigned)clip.meshes.size());
            for (const MeshOut& mesh : clip.meshes) {
                std::vector<std::pair<Quad, Cell>> quads;
                for (const Quad& q : mesh.quads) quads.push_back({q, sheet.At(q)});
                WriteQuads(w, quads, sheet.width, sheet.height);
            }
            w.Bytes(clip.keys);
        }
    }
    unsigned directory = (unsigned)w.b.size();
    w.U32((unsigned)parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        w.Bytes(parts[i].name);
        w.U32(offsets[i]);
    }
    w.U32(directory);

    return w.b;
}

// The jobs of one sheet label (one image): their packs are read, their cells
// laid out together on the one sheet, and each pack and the sheet written.
void Bake(const std::vector<SpriteJob>& jobs, const std::string& in, const std::string& outDir,
          ManifestGroupWriter& group) {
    const SpriteJob& first = jobs.front();
    for (const SpriteJob& job : jobs)
        if (job.image != first.image) Fail(first.sheetLabel + ": one sheet is drawn from one image");
    Image source = ReadImage(JoinPath(JoinPath(in, "images"), first.image));
    Sheet sheet;
    std::vector<std::vector<PartOut>> packs;
    for (const SpriteJob& job : jobs) packs.push_back(ReadPack(job, in, sheet));

    // The sheet: every cell resampled from its part of the image.
    sheet.Pack();
    Image out;
    out.w = sheet.width;
    out.h = sheet.height;
    out.px.assign((size_t)out.w * out.h * 4, 0);
    for (const auto& cq : sheet.order)
        Resample(source, cq.second.u0, cq.second.v0, cq.second.u1, cq.second.v1, out, cq.first.x, cq.first.y,
                 cq.first.w, cq.first.h);

    std::string error;
    // A sheet of one pack is named after it, a shared one after its label.
    std::string sheetName = first.output.empty() ? first.pack : first.output;
    sheetName = sheetName.substr(0, sheetName.rfind('.'));
    if (jobs.size() > 1) {
        sheetName = first.sheetLabel.compare(0, 4, "SPR_") == 0 ? first.sheetLabel.substr(4) : first.sheetLabel;
        for (char& ch : sheetName) ch = (char)std::tolower((unsigned char)ch);
    }
    sheetName += ".png";
    std::vector<unsigned char> png = WritePng(out);
    if (!WriteFileIfChanged(JoinPath(outDir, sheetName), png.data(), png.size())) Fail("cannot write into " + outDir);
    for (size_t k = 0; k < jobs.size(); ++k) {
        const std::string packName = jobs[k].output.empty() ? jobs[k].pack : jobs[k].output;
        std::vector<unsigned char> pack = WritePack(packs[k], sheet);
        if (!WriteFileIfChanged(JoinPath(outDir, packName), pack.data(), pack.size())) Fail("cannot write into " + outDir);
        if (!group.Add(jobs[k].modelLabel, packName, error)) Fail(error);
    }
    if (!group.Add(first.sheetLabel, sheetName, error)) Fail(error);
}

// A line of a list: a baked sprite or a turned one.
struct ListJob {
    bool turned = false;
    SpriteJob sprite;
    TurnJob turn;
};

std::vector<ListJob> ReadList(const std::string& path) {
    std::string text;
    if (!ReadFileText(path, text)) Fail("cannot read " + path);
    std::vector<ListJob> jobs;
    size_t lineNo = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        line = line.substr(0, line.find('#'));
        std::vector<std::string> words;
        for (size_t p = 0; p < line.size();) {
            while (p < line.size() && std::isspace((unsigned char)line[p])) ++p;
            size_t q = p;
            while (q < line.size() && !std::isspace((unsigned char)line[q])) ++q;
            if (q > p) words.push_back(line.substr(p, q - p));
            p = q;
        }
        if (words.empty()) continue;
        const std::string where = path + ":" + std::to_string(lineNo);
        if (words[0] == "turn") {
            ListJob job;
            job.turned = true;
            std::string error;
            if (!ParseTurnJob(std::vector<std::string>(words.begin() + 1, words.end()), where, job.turn, error))
                Fail(error);
            jobs.push_back(job);
            continue;
        }
        if (words[0] != "sprite" || words.size() < 5 || words.size() % 2 != 1)
            Fail(where + ": expected sprite <MODEL> <pack> <image> <SHEET> [scale s] [aspect a] [as name]");
        SpriteJob job{words[1], words[2], words[3], words[4]};
        for (size_t i = 5; i + 1 < words.size(); i += 2) {
            if (words[i] == "scale" || words[i] == "aspect") {
                float v = std::strtof(words[i + 1].c_str(), nullptr);
                if (!(v > 0.0f && v <= 10.0f)) Fail(where + ": " + words[i] + " out of range");
                (words[i] == "scale" ? job.scale : job.aspect) = v;
            } else if (words[i] == "as") {
                job.output = words[i + 1];
                if (job.output.find('/') != std::string::npos || job.output.find('\\') != std::string::npos)
                    Fail(where + ": \"as\" names a file, not a path");
            } else {
                Fail(where + ": expected scale, aspect or as");
            }
        }
        ListJob listed;
        listed.sprite = job;
        jobs.push_back(listed);
    }
    return jobs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--self-test") return TurnSelfTest();
    std::string in;
    std::vector<char*> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--in" && i + 1 < argc) in = argv[++i];
        else rest.push_back(argv[i]);
    }
    GroupToolOptions options;
    options.group = "sprites/";
    if (in.empty() || !ParseGroupToolOptions((int)rest.size(), rest.data(), options)) {
        std::fprintf(stderr, "usage: qvsprite --in <generated content> --out <dir> --manifest <fragment.xml> "
                             "[--group <path>] <list>...\n"
                             "       qvsprite --self-test\n");
        return 2;
    }
    try {
        if (!MakeDirs(options.outDir)) Fail("cannot make " + options.outDir);
        ManifestGroupWriter group("made by qvsprite from the full edition's art", options.group);
        // Jobs that name the same sheet share it, in the order of their first line.
        std::vector<std::vector<SpriteJob>> sheets;
        for (const std::string& list : options.sources)
            for (const ListJob& job : ReadList(list)) {
                if (job.turned) {
                    std::string error;
                    if (!BakeTurnJob(job.turn, in, options.outDir, group, error)) Fail(error);
                    continue;
                }
                auto same = std::find_if(sheets.begin(), sheets.end(), [&](const std::vector<SpriteJob>& jobs) {
                    return jobs.front().sheetLabel == job.sprite.sheetLabel;
                });
                if (same == sheets.end()) sheets.push_back({job.sprite});
                else same->push_back(job.sprite);
            }
        for (const auto& jobs : sheets) Bake(jobs, in, options.outDir, group);
        if (!group.Write(options.manifest)) Fail("cannot write " + options.manifest);
    } catch (const Failure& f) {
        std::fprintf(stderr, "qvsprite: %s\n", f.message.c_str());
        return 1;
    }
    return 0;
}
