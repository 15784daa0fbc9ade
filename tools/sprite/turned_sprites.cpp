#include "turned_sprites.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_util.h"

namespace {

const float kPi = 3.14159265358979f;
const int kSamples = 4;  // per pixel edge: 16 samples a pixel
const int kMaxSheetSide = 4096;

float Radians(float degrees) { return degrees * kPi / 180.0f; }

bool Number(const std::string& word, float& out) {
    char* end = nullptr;
    out = std::strtof(word.c_str(), &end);
    return !word.empty() && end && *end == 0 && std::isfinite(out);
}

// Premultiplied bilinear sample of an image at (fx, fy) in pixels (centres
// at .5), edges clamped: r, g, b times alpha, and alpha, 0..255.
void Sample(const RgbaImage& t, float fx, float fy, float out[4]) {
    fx -= 0.5f;
    fy -= 0.5f;
    const int x0 = (int)std::floor(fx), y0 = (int)std::floor(fy);
    const float ax = fx - x0, ay = fy - y0;
    const float weights[4] = {(1 - ax) * (1 - ay), ax * (1 - ay), (1 - ax) * ay, ax * ay};
    const int xs[4] = {x0, x0 + 1, x0, x0 + 1}, ys[4] = {y0, y0, y0 + 1, y0 + 1};
    out[0] = out[1] = out[2] = out[3] = 0;
    for (int s = 0; s < 4; ++s) {
        const int x = std::min(std::max(xs[s], 0), t.w - 1), y = std::min(std::max(ys[s], 0), t.h - 1);
        const unsigned char* p = t.At(x, y);
        const float a = p[3] * weights[s];
        for (int k = 0; k < 3; ++k) out[k] += p[k] * a / 255.0f;
        out[3] += a;
    }
}

void StoreMeanOfPremultiplied(unsigned char* p, const float sum[4], float count) {
    const float alpha = sum[3] / count;
    for (int k = 0; k < 3; ++k)
        p[k] = sum[3] > 0 ? (unsigned char)std::lround(std::min(255.0f, sum[k] * 255.0f / sum[3])) : 0;
    p[3] = (unsigned char)std::lround(std::min(255.0f, alpha));
}

struct Projected {
    float x, y, depth;  // pixels, y up; nearer is larger
};

Projected Project(const float* p, const TurnJob& job, float turn) {
    const float s = job.scale, a = Radians(turn + job.at), t = Radians(job.tilt);
    const float x = p[0] * s, y = p[1] * s, z = p[2] * s;
    // Clockwise as seen from the front, then leaning back about x.
    const float x1 = x * std::cos(a) + y * std::sin(a), y1 = -x * std::sin(a) + y * std::cos(a);
    const float y2 = y1 * std::cos(t) + z * std::sin(t), z2 = -y1 * std::sin(t) + z * std::cos(t);
    return {x1 * kSpritePixelsPerUnit, y2 * kSpritePixelsPerUnit, z2};
}

std::vector<float> AllTurns(const TurnJob& job) {
    std::vector<float> turns;
    for (const TurnClip& c : job.clips) turns.insert(turns.end(), c.turns.begin(), c.turns.end());
    return turns;
}

std::string Lower(std::string s) {
    for (char& ch : s) ch = (char)std::tolower((unsigned char)ch);
    return s;
}

} // namespace

bool ParseTurnJob(const std::vector<std::string>& words, const std::string& where, TurnJob& job, std::string& error) {
    auto fail = [&](const std::string& what) {
        error = where + ": " + what;
        return false;
    };
    if (words.size() < 5) return fail("expected turn <MODEL> <output.mdl> <pack> <image> <SHEET> <option>...");
    job.modelLabel = words[0];
    job.output = words[1];
    job.pack = words[2];
    job.image = words[3];
    job.sheetLabel = words[4];
    job.where = where;
    if (job.output.size() < 5 || job.output.substr(job.output.size() - 4) != ".mdl")
        return fail("the output is a .mdl name");
    float over = 0;
    size_t i = 5;
    auto numbers = [&](size_t n, std::vector<float>& out) {
        out.clear();
        for (size_t k = 0; k < n; ++k) {
            float v;
            if (i >= words.size() || !Number(words[i], v)) return false;
            out.push_back(v);
            ++i;
        }
        return true;
    };
    std::vector<float> v;
    while (i < words.size()) {
        const std::string key = words[i++];
        if (key == "frames") {
            if (!numbers(1, v) || i + 1 >= words.size() || words[i] != "over") return fail("expected frames <n> over <degrees>");
            const float n = v[0];
            ++i;
            if (!numbers(1, v)) return fail("expected frames <n> over <degrees>");
            over = v[0];
            if (!(n >= 1 && n <= 1024 && n == std::floor(n))) return fail("frames: 1 to 1024");
            if (!(over > 0 && over <= 360)) return fail("over: more than 0 and at most 360 degrees");
            TurnClip idle{"idle", {}};
            for (int k = 0; k < (int)n; ++k) idle.turns.push_back(over * (float)k / n);
            job.clips.push_back(idle);
        } else if (key == "clip") {
            if (i >= words.size()) return fail("expected clip <name> <degrees>...");
            TurnClip clip{words[i++], {}};
            float d;
            while (i < words.size() && Number(words[i], d)) clip.turns.push_back(d), ++i;
            if (clip.turns.empty()) return fail("clip " + clip.name + " has no frame");
            job.clips.push_back(clip);
        } else if (key == "at") {
            if (!numbers(1, v)) return fail("expected at <degrees>");
            job.at = v[0];
        } else if (key == "scale") {
            if (!numbers(1, v) || !(v[0] > 0 && v[0] <= 8)) return fail("scale: more than 0, at most 8");
            job.scale = v[0];
        } else if (key == "tilt") {
            if (!numbers(1, v) || !(v[0] >= -89 && v[0] <= 89)) return fail("tilt: -89 to 89 degrees");
            job.tilt = v[0];
        } else if (key == "fold") {
            if (!numbers(2, v) || !(v[1] > 0 && v[1] <= 360)) return fail("expected fold <from> <degrees>");
            job.fold = true;
            job.foldFrom = v[0];
            job.foldSpan = v[1];
        } else if (key == "crop") {
            if (!numbers(4, v) || !(v[2] > v[0] && v[3] > v[1])) return fail("expected crop <x0> <y0> <x1> <y1>");
            job.crop = true;
            job.crop0x = v[0], job.crop0y = v[1], job.crop1x = v[2], job.crop1y = v[3];
        } else if (key == "jpeg") {
            if (!numbers(1, v) || !(v[0] >= 1 && v[0] <= 100)) return fail("jpeg: quality 1 to 100");
            job.jpegQuality = (int)v[0];
        } else if (key == "backdrop") {
            unsigned rgb = 0;
            if (i >= words.size() || words[i].size() != 6 ||
                words[i].find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
                std::sscanf(words[i].c_str(), "%6x", &rgb) != 1)
                return fail("expected backdrop rrggbb (hex)");
            ++i;
            job.backdrop[0] = (unsigned char)(rgb >> 16), job.backdrop[1] = (unsigned char)(rgb >> 8),
            job.backdrop[2] = (unsigned char)rgb;
        } else if (key == "limit") {
            if (!numbers(1, v) || !(v[0] > 0)) return fail("expected limit <megabytes>");
            job.limitBytes = v[0] * 1e6;
        } else {
            return fail("unknown option " + key);
        }
    }
    if (job.clips.empty()) return fail("no frames: give frames <n> over <degrees> or clip <name> <degrees>...");
    if (job.fold) {
        if (over <= 0) return fail("fold needs frames <n> over <degrees>");
        job.foldInto = over;
    }
    if (job.jpegQuality && !job.crop) return fail("jpeg frames need a crop");
    return true;
}

TurnCanvas CanvasFor(const PackTriangles& mesh, const TurnJob& job) {
    TurnCanvas c;
    if (job.crop) {
        c.x0 = (int)std::lround(job.crop0x * kSpritePixelsPerUnit);
        c.y0 = (int)std::lround(job.crop0y * kSpritePixelsPerUnit);
        c.w = (int)std::lround(job.crop1x * kSpritePixelsPerUnit) - c.x0;
        c.h = (int)std::lround(job.crop1y * kSpritePixelsPerUnit) - c.y0;
        return c;
    }
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (float turn : AllTurns(job))
        for (size_t i = 0; i < mesh.Corners(); ++i) {
            const Projected p = Project(&mesh.xyz[i * 3], job, turn);
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        }
    if (x1 < x0) return c;
    c.x0 = (int)std::floor(x0) - 1;
    c.y0 = (int)std::floor(y0) - 1;
    c.w = (int)std::ceil(x1) + 1 - c.x0;
    c.h = (int)std::ceil(y1) + 1 - c.y0;
    return c;
}

RgbaImage DrawTurn(const PackTriangles& mesh, const RgbaImage& texture, const TurnJob& job, const TurnCanvas& canvas,
                   float turn) {
    const int W = canvas.w * kSamples, H = canvas.h * kSamples;
    std::vector<float> depth((size_t)W * H, -1e30f);
    std::vector<float> colour((size_t)W * H * 4, 0.0f);
    const float top = (float)(canvas.y0 + canvas.h);
    for (size_t t = 0; t + 2 < mesh.Corners(); t += 3) {
        Projected p[3];
        float sx[3], sy[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = Project(&mesh.xyz[(t + k) * 3], job, turn);
            sx[k] = (p[k].x - canvas.x0) * kSamples;
            sy[k] = (top - p[k].y) * kSamples;
        }
        // Faces wound anticlockwise (seen with y up) face the viewer.
        const float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sy[1] - sy[0]) * (sx[2] - sx[0]);
        if (!(area < -1e-6f)) continue;  // rows run down: anticlockwise turns negative
        const int x0 = std::max(0, (int)std::floor(std::min({sx[0], sx[1], sx[2]})));
        const int x1 = std::min(W - 1, (int)std::ceil(std::max({sx[0], sx[1], sx[2]})));
        const int y0 = std::max(0, (int)std::floor(std::min({sy[0], sy[1], sy[2]})));
        const int y1 = std::min(H - 1, (int)std::ceil(std::max({sy[0], sy[1], sy[2]})));
        const float* uv = &mesh.uv[t * 2];
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float w0 = ((sx[1] - px) * (sy[2] - py) - (sy[1] - py) * (sx[2] - px)) / area;
                const float w1 = ((sx[2] - px) * (sy[0] - py) - (sy[2] - py) * (sx[0] - px)) / area;
                const float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * p[0].depth + w1 * p[1].depth + w2 * p[2].depth;
                const size_t at = (size_t)y * W + x;
                if (z <= depth[at]) continue;
                depth[at] = z;
                const float u = w0 * uv[0] + w1 * uv[2] + w2 * uv[4], v = w0 * uv[1] + w1 * uv[3] + w2 * uv[5];
                Sample(texture, u * texture.w, v * texture.h, &colour[at * 4]);
            }
    }
    RgbaImage out(canvas.w, canvas.h);
    for (int y = 0; y < canvas.h; ++y)
        for (int x = 0; x < canvas.w; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    const float* c = &colour[((size_t)(y * kSamples + j) * W + x * kSamples + i) * 4];
                    for (int k = 0; k < 4; ++k) sum[k] += c[k];
                }
            StoreMeanOfPremultiplied(out.At(x, y), sum, (float)(kSamples * kSamples));
        }
    return out;
}

RgbaImage FoldImage(const RgbaImage& image, float from, float span, float into) {
    RgbaImage out(image.w, image.h);
    const float cx = image.w * 0.5f, cy = image.h * 0.5f;
    const int n = 3;  // samples a pixel edge
    for (int y = 0; y < image.h; ++y)
        for (int x = 0; x < image.w; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const float dx = x + (i + 0.5f) / n - cx, dy = y + (j + 0.5f) / n - cy;
                    const float r = std::sqrt(dx * dx + dy * dy);
                    const float angle = std::atan2(dx, -dy) * 180.0f / kPi;  // clockwise of the top
                    float inSlice = std::fmod(angle - from, into);
                    if (inSlice < 0) inSlice += into;
                    const float a = Radians(from + inSlice * span / into);
                    float s[4];
                    Sample(image, cx + r * std::sin(a), cy - r * std::cos(a), s);
                    for (int k = 0; k < 4; ++k) sum[k] += s[k];
                }
            StoreMeanOfPremultiplied(out.At(x, y), sum, (float)(n * n));
        }
    return out;
}

namespace {

// Within the middle of an image (radius fraction of its half width), each
// ring of pixels takes the ring's mean colour: a hub whose picture does not
// turn with a sequence that covers part of a turn.
void EvenHub(RgbaImage& image, float fraction) {
    const float cx = image.w * 0.5f, cy = image.h * 0.5f, limit = fraction * cx;
    const int rings = (int)std::ceil(limit) + 1;
    std::vector<double> sum((size_t)rings * 4, 0.0), count(rings, 0.0);
    auto ring = [&](int x, int y) {
        const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
        return std::sqrt(dx * dx + dy * dy);
    };
    for (int y = 0; y < image.h; ++y)
        for (int x = 0; x < image.w; ++x) {
            const float r = ring(x, y);
            if (r >= limit) continue;
            const unsigned char* p = image.At(x, y);
            const int k = (int)r;
            for (int c = 0; c < 3; ++c) sum[k * 4 + c] += p[c] * (double)p[3];
            sum[k * 4 + 3] += p[3];
            count[k] += 1;
        }
    for (int y = 0; y < image.h; ++y)
        for (int x = 0; x < image.w; ++x) {
            const float r = ring(x, y);
            if (r >= limit) continue;
            const int k = (int)r;
            unsigned char* p = image.At(x, y);
            if (sum[k * 4 + 3] <= 0) continue;
            for (int c = 0; c < 3; ++c) p[c] = (unsigned char)std::lround(sum[k * 4 + c] / sum[k * 4 + 3]);
            p[3] = (unsigned char)std::lround(sum[k * 4 + 3] / count[k]);
        }
}

// Opaque frames of one size, butted in rows: the number of columns that
// needs the least sheet within the largest side.
bool GridLayout(std::vector<SheetCell>& cells, int& width, int& height) {
    if (cells.empty()) return false;
    const int w = cells[0].source.W(), h = cells[0].source.H(), n = (int)cells.size();
    long best = -1;
    for (int columns = 1; columns <= n && columns * w <= kMaxSheetSide; ++columns) {
        const int rows = (n + columns - 1) / columns;
        if (rows * h > kMaxSheetSide) continue;
        const long area = (long)columns * w * rows * h;
        // The least area; of those, the squarest.
        if (best < 0 || area < best ||
            (area == best && std::abs(columns * w - rows * h) < std::abs(width - height))) {
            best = area;
            width = columns * w;
            height = rows * h;
        }
    }
    if (best < 0) return false;
    const int columns = width / w;
    for (int k = 0; k < n; ++k) {
        cells[k].x = (k % columns) * w;
        cells[k].y = (k / columns) * h;
    }
    return true;
}

// The pack read back: every clip with its frame count, every frame inside
// the sheet with a rectangle of its cell's size.
bool CheckPack(const std::vector<unsigned char>& pack, const std::vector<SpriteClip>& clips, int sheetW, int sheetH,
               std::string& error) {
    PackTriangles first;
    PackSummary summary;
    if (!ReadPackPart(pack, "body", first, summary, error)) return false;
    if (!summary.box || summary.clips.size() != clips.size()) {
        error = "the pack does not hold its clips";
        return false;
    }
    size_t frame = 0;
    for (size_t c = 0; c < clips.size(); ++c) {
        if (summary.clips[c].first != clips[c].name || summary.clips[c].second != clips[c].frames.size()) {
            error = "clip " + clips[c].name + " does not hold " + std::to_string(clips[c].frames.size()) + " frames";
            return false;
        }
        for (const SheetCell* cell : clips[c].frames) {
            const std::vector<float>& r = summary.rects[frame++];
            const int x0 = (int)std::lround(r[0] * sheetW), y0 = (int)std::lround(r[1] * sheetH);
            const int x1 = (int)std::lround(r[2] * sheetW), y1 = (int)std::lround(r[3] * sheetH);
            if (x0 != cell->x || y0 != cell->y || x1 - x0 != cell->source.W() || y1 - y0 != cell->source.H() ||
                x0 < 0 || y0 < 0 || x1 > sheetW || y1 > sheetH) {
                error = "frame " + std::to_string(frame - 1) + " of clip " + clips[c].name + " misses its cell";
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool BakeTurnJob(const TurnJob& job, const std::string& in, const std::string& outDir, ManifestGroupWriter& group,
                 std::string& error) {
    const std::string packPath = JoinPath(JoinPath(in, "models"), job.pack);
    std::vector<unsigned char> bytes;
    PackTriangles mesh;
    PackSummary summary;
    if (!ReadFileBytes(packPath, bytes)) {
        error = "cannot read " + packPath;
        return false;
    }
    if (!ReadPackPart(bytes, "body", mesh, summary, error)) {
        error = packPath + ": " + error;
        return false;
    }
    RgbaImage texture;
    if (!ReadImageFile(JoinPath(JoinPath(in, "images"), job.image), texture, error)) return false;
    if (job.fold) {
        texture = FoldImage(texture, job.foldFrom, job.foldSpan, job.foldInto);
        EvenHub(texture, 0.25f);  // the wheel's hub: a quarter of its radius
    }
    const TurnCanvas canvas = CanvasFor(mesh, job);
    if (canvas.w <= 0 || canvas.h <= 0 || canvas.w > kMaxSheetSide || canvas.h > kMaxSheetSide) {
        error = job.where + ": nothing to draw, or frames larger than a sheet";
        return false;
    }

    // Every frame drawn once; frames alike share a cell.
    std::vector<RgbaImage> drawn;
    std::vector<SheetCell> cells;
    std::vector<std::vector<size_t>> cellOf(job.clips.size());
    std::vector<size_t> pictureOfCell;
    for (size_t c = 0; c < job.clips.size(); ++c)
        for (float turn : job.clips[c].turns) {
            RgbaImage f = DrawTurn(mesh, texture, job, canvas, turn);
            SheetCell cell;
            if (job.jpegQuality) {
                // Opaque: the whole crop over the backdrop.
                for (size_t i = 0; i < f.px.size(); i += 4) {
                    const int a = f.px[i + 3];
                    for (int k = 0; k < 3; ++k)
                        f.px[i + k] = (unsigned char)((f.px[i + k] * a + job.backdrop[k] * (255 - a) + 127) / 255);
                    f.px[i + 3] = 255;
                }
                cell.source = {0, 0, f.w, f.h};
                cell.key = f.px;
            } else {
                cell = TrimmedCell(f);
            }
            const size_t before = cells.size(), k = FindOrAddCell(cells, std::move(cell));
            if (cells.size() > before) pictureOfCell.push_back(drawn.size());
            cellOf[c].push_back(k);
            drawn.push_back(std::move(f));
        }
    int sheetW = 0, sheetH = 0;
    if (job.jpegQuality) {
        if (!GridLayout(cells, sheetW, sheetH)) {
            error = job.where + ": the frames do not fit on one sheet";
            return false;
        }
    } else {
        LayoutShelves(cells, sheetW, sheetH);
    }
    if (sheetW > kMaxSheetSide || sheetH > kMaxSheetSide) {
        error = job.where + ": the sheet would be " + std::to_string(sheetW) + " x " + std::to_string(sheetH);
        return false;
    }
    const RgbaImage sheet =
        PaintSheet(cells, sheetW, sheetH, [&](size_t k) -> const RgbaImage& { return drawn[pictureOfCell[k]]; });
    const double memory = (double)sheetW * sheetH * (job.jpegQuality ? 3 : 4);
    if (job.limitBytes > 0 && memory > job.limitBytes) {
        error = job.where + ": the sheet takes " + std::to_string(memory / 1e6) + " MB, over its limit of " +
                std::to_string(job.limitBytes / 1e6) + " MB";
        return false;
    }

    std::vector<SpriteClip> clips;
    size_t frames = 0;
    for (size_t c = 0; c < job.clips.size(); ++c) {
        SpriteClip clip{job.clips[c].name, {}};
        for (size_t k : cellOf[c]) clip.frames.push_back(&cells[k]);
        frames += clip.frames.size();
        clips.push_back(clip);
    }
    const std::vector<unsigned char> pack = WriteSpritePack(clips, canvas.OriginX(), canvas.OriginY(), sheetW, sheetH);
    if (!CheckPack(pack, clips, sheetW, sheetH, error)) {
        error = job.where + ": " + error;
        return false;
    }
    const std::string base = job.output.substr(0, job.output.size() - 4);
    const std::string sheetName = Lower(base) + (job.jpegQuality ? ".jpg" : ".png");
    const std::vector<unsigned char> image = job.jpegQuality ? EncodeJpeg(sheet, job.jpegQuality) : EncodeRgbaPng(sheet);
    if (image.empty() || !WriteFileIfChanged(JoinPath(outDir, job.output), pack.data(), pack.size()) ||
        !WriteFileIfChanged(JoinPath(outDir, sheetName), image.data(), image.size())) {
        error = "cannot write " + job.output + " into " + outDir;
        return false;
    }
    if (!group.Add(job.modelLabel, job.output, error) || !group.Add(job.sheetLabel, sheetName, error)) return false;
    std::printf("qvsprite: %s: %zu frames (%zu cells) on a %d x %d %s sheet, %.2f MB loaded, %zu bytes\n",
                job.modelLabel.c_str(), frames, cells.size(), sheetW, sheetH, job.jpegQuality ? "JPEG" : "PNG",
                memory / 1e6, image.size());
    return true;
}

// ---- Checks of the turning (qvsprite --self-test) ----

namespace {

struct Centroid {
    float x = 0, y = 0, weight = 0;  // pixels about the model's origin, y up
};

// The alpha-weighted middle of a trimmed frame, placed as its pack places it.
Centroid CentroidOf(const RgbaImage& f, const SheetCell& cell, const TurnCanvas& canvas) {
    Centroid c;
    double sx = 0, sy = 0, sum = 0;
    for (int y = cell.source.y0; y < cell.source.y1; ++y)
        for (int x = cell.source.x0; x < cell.source.x1; ++x) {
            const double a = f.At(x, y)[3];
            sx += a * (x + 0.5 - canvas.OriginX());
            sy += a * (canvas.OriginY() - (y + 0.5));
            sum += a;
        }
    if (sum > 0) c.x = (float)(sx / sum), c.y = (float)(sy / sum), c.weight = (float)sum;
    return c;
}

} // namespace

int TurnSelfTest() {
    int failed = 0;
    auto check = [&](bool ok, const std::string& what) {
        if (!ok) std::fprintf(stderr, "qvsprite self-test: %s\n", what.c_str()), ++failed;
    };
    // A square of 0.2 x 0.2 view units about the origin, wound anticlockwise,
    // whose picture is clear but for a red block in its top right corner.
    PackTriangles square;
    square.xyz = {-0.1f, -0.1f, 0, 0.1f, -0.1f, 0, 0.1f, 0.1f, 0, -0.1f, -0.1f, 0, 0.1f, 0.1f, 0, -0.1f, 0.1f, 0};
    square.uv = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};
    RgbaImage picture(64, 64);
    for (int y = 0; y < 16; ++y)
        for (int x = 48; x < 64; ++x) {
            unsigned char* p = picture.At(x, y);
            p[0] = 255, p[3] = 255;
        }
    TurnJob job;
    std::string error;
    check(ParseTurnJob({"MDL_T", "t.mdl", "t.mdl", "t.png", "SPR_T", "frames", "8", "over", "360"}, "test", job, error),
          "a turn line is read: " + error);
    check(job.clips.size() == 1 && job.clips[0].name == "idle" && job.clips[0].turns.size() == 8 &&
              job.clips[0].turns[3] == 135.0f,
          "frames 8 over 360 is a clip idle of 8 frames 45 degrees apart");
    TurnJob bad;
    check(!ParseTurnJob({"MDL_T", "t.mdl", "t.mdl", "t.png", "SPR_T", "frames", "0", "over", "360"}, "test", bad, error),
          "a sequence of no frames is refused");
    check(!ParseTurnJob({"MDL_T", "t.mdl", "t.mdl", "t.png", "SPR_T", "frames", "4", "over", "90", "jpeg", "90"},
                        "test", bad, error),
          "JPEG frames without a crop are refused");
    const TurnCanvas canvas = CanvasFor(square, job);
    check(canvas.w >= 60 && canvas.w <= 92 && canvas.w == canvas.h, "the canvas holds the square at every turn");
    Centroid first;
    for (int k = 0; k < 8 && !failed; ++k) {
        const RgbaImage f = DrawTurn(square, picture, job, canvas, job.clips[0].turns[k]);
        const SheetCell cell = TrimmedCell(f);
        const Centroid c = CentroidOf(f, cell, canvas);
        if (k == 0) {
            first = c;
            check(std::fabs(c.x - 22.5f) < 1.0f && std::fabs(c.y - 22.5f) < 1.0f,
                  "frame 0 is the picture unturned, its top right corner up and right");
            continue;
        }
        // Frame k: the first turned k x 45 degrees clockwise about the origin.
        const float a = Radians(45.0f * k);
        const float ex = first.x * std::cos(a) + first.y * std::sin(a), ey = -first.x * std::sin(a) + first.y * std::cos(a);
        check(std::fabs(c.x - ex) < 1.0f && std::fabs(c.y - ey) < 1.0f,
              "frame " + std::to_string(k) + " is frame 0 turned clockwise by k x 45 degrees");
        check(std::fabs(c.weight - first.weight) < 0.04f * first.weight,
              "frame " + std::to_string(k) + " keeps the picture's cover");
    }
    // A fold repeats the slice every "into" degrees.
    RgbaImage fan(96, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            const float angle = std::atan2(x + 0.5f - 48, 48 - (y + 0.5f)) * 180.0f / kPi;
            unsigned char* p = fan.At(x, y);
            p[0] = (unsigned char)((angle + 180.0f) / 360.0f * 255.0f), p[1] = (unsigned char)(x * 2), p[3] = 255;
        }
    const RgbaImage folded = FoldImage(fan, 10.0f, 30.0f, 22.5f);
    for (float angle : {12.0f, 50.0f, 100.0f, 200.0f, 300.0f}) {
        const float r = 36.0f, a = Radians(angle), b = Radians(angle + 22.5f);
        float p[4], q[4];
        Sample(folded, 48 + r * std::sin(a), 48 - r * std::cos(a), p);
        Sample(folded, 48 + r * std::sin(b), 48 - r * std::cos(b), q);
        check(std::fabs(p[0] - q[0]) < 6.0f, "a folded picture repeats every 22.5 degrees");
    }
    if (!failed) std::printf("qvsprite self-test: ok\n");
    return failed ? 1 : 0;
}
