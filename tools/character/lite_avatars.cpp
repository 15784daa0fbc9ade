#include "lite_avatars.h"


#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>

#include "file_util.h"
#include "manifest_group.h"
#include "sprite_sheet.h"

namespace {

const float kPi = 3.14159265f;
const float kFigurePixels = 160.0f;    // a contestant at rest, soles to crown
const int kSamples = 4;                // per pixel edge: 16 samples a pixel
const int kOutline = 150;              // alpha of the line around the figure

// ---- the animations -------------------------------------------------------------

// Frames follow one another at the Lite's avatar rate, 10 a second.

struct Animation {
    const char* word;   // of the model label
    const char* sheet;  // word of the sheet it is drawn from
    int frames;
    std::function<Pose(int)> pose;
};

// Breathing: 0 (out) to 1 (in) and back, twice in a loop of n frames.
float Breath(int i, int n, int breaths) { return 0.5f - 0.5f * std::cos(2 * kPi * breaths * i / n); }

// The weight shifting from foot to foot, the upper body swaying over the
// waist with the head following, breathing on top: amplitude 1 is the
// idle, smaller ones the quieter idles.
Pose Idle(int i, int n, float sway, float look, int breaths) {
    const float a = 2 * kPi * i / n, s = std::sin(a), b = Breath(i, n, breaths);
    return PoseBuilder()
        .Root(0.010f * sway * s, 0, 0)
        .Spine(-0.6f * b, 1.5f * look * std::sin(a + 0.5f), -4.0f * sway * s)
        .Chest(0.8f - 1.6f * b, 2.0f * look * std::sin(a + 1.0f), -1.5f * sway * s)
        .Head(1.5f * std::sin(2 * a + 0.6f) * look, 7.0f * look * std::sin(a + 1.4f), 5.0f * sway * s)
        .Shrug(2.0f * b)
        .R(0.085f + 0.008f * sway * s, -0.33f + 0.012f * b, -0.15f - 0.006f * b)
        .L(-0.085f + 0.008f * sway * s, -0.33f + 0.012f * b, -0.15f - 0.006f * b);
}

// Clapping in threes: hands apart, together, half apart again.
Pose ClapBeat(int k) {
    switch (k % 3) {
    case 0: return ClapOpen();
    case 1: return ClapShut();
    default: return BlendPoses(ClapOpen(), ClapShut(), 0.45f);
    }
}

std::vector<Animation> Animations() {
    const Pose rest = RestPose();
    return {
        {"IDLE", "IDLE", 32, [](int i) { return Idle(i, 32, 1.0f, 1.0f, 2); }},
        {"IDLE_SMALL", "IDLE_SMALL", 24, [](int i) { return Idle(i, 24, 0.5f, 0.6f, 1); }},
        {"IDLE_VERYSMALL", "IDLE_VERYSMALL", 20, [](int i) { return Idle(i, 20, 0.0f, 0.25f, 1); }},
        // One round of applause from rest back to rest; its first frame is
        // the still pose the avatars hold between reactions.
        {"CLAP", "CLAP", 16,
         [rest](int i) -> Pose {
             if (i == 0 || i == 15) return rest;
             if (i <= 2) return BlendPoses(rest, ClapOpen(), i == 1 ? 0.35f : 0.75f);
             if (i <= 12) return ClapBeat(i - 3);
             return BlendPoses(ClapOpen(), rest, i == 13 ? 0.35f : 0.7f);
         }},
        // Clapping on and on, with a little bounce and a turn of the head.
        {"CLAP_LOOP", "CLAP", 12,
         [](int i) -> Pose {
             Pose p = ClapBeat(i);
             const float a = 2 * kPi * i / 12;
             p.rootOffset = V3(0, -0.006f * (i % 3 == 1), 0);
             p.local[B_HEAD] = Mul(p.local[B_HEAD], Euler(2.0f * std::sin(2 * a), 5.0f * std::sin(a), 0));
             return p;
         }},
        // From clapping back to rest.
        {"CLAP_END", "CLAP", 6,
         [rest](int i) -> Pose {
             if (i < 3) return ClapBeat(i + 1);
             return i == 5 ? rest : BlendPoses(ClapOpen(), rest, i == 3 ? 0.4f : 0.75f);
         }},
    };
}

// ---- posing and drawing -------------------------------------------------------------

using Rgba = RgbaImage;

struct Posed {
    std::vector<V3> p, n;
};

// The studio camera stands a little above the contestants and looks down on
// them: the tops of the shoes and shoulders show, as they do on the podiums.
const Q4 kCamera = AxisAngle(V3(1, 0, 0), -8.0f);

// The skinning of the game's characters: each vertex carried rigidly by its
// bone from the bind pose, blended between two bones by its weight; then
// seen from the camera.
Posed PoseMesh(const MeshData& m, const PoseResult& pose) {
    Posed out;
    out.p.resize(m.v.size());
    out.n.resize(m.v.size());
    for (size_t i = 0; i < m.v.size(); ++i) {
        const Vert& v = m.v[i];
        auto place = [&](int b) { return pose.position[b] + Rotate(pose.rotation[b], v.p - kBones[b].bind); };
        bool one = v.b0 == v.b1 || v.w0 >= 1.0f;
        out.p[i] = Rotate(kCamera, one ? place(v.b0) : place(v.b0) * v.w0 + place(v.b1) * (1 - v.w0));
        V3 n = Rotate(pose.rotation[v.b0], v.n);
        if (!one) n = n * v.w0 + Rotate(pose.rotation[v.b1], v.n) * (1 - v.w0);
        out.n[i] = Normalize(Rotate(kCamera, n));
    }
    return out;
}

// The contestants' light: a soft key from the front, above and to one side,
// light from the sky, and a touch of rim light that lifts the outline off a
// dark studio.
float Shade(V3 n) {
    const V3 light = Normalize(V3(0.35f, 0.55f, -0.75f));
    float key = std::max(0.0f, Dot(n, light));
    float sky = 0.5f + 0.5f * n.y;
    float rim = std::pow(std::max(0.0f, 1.0f - std::fabs(n.z)), 3.0f) * 0.12f;
    return std::min(1.1f, 0.42f + 0.48f * key + 0.16f * sky + rim);
}

V3 Texel(const PartPicture& t, float u, float v) {
    float fx = u * t.w - 0.5f, fy = std::min(std::max(v, 0.0f), 1.0f) * t.h - 0.5f;
    int x0 = (int)std::floor(fx), y0 = (int)std::floor(fy);
    float ax = fx - x0, ay = fy - y0;
    auto at = [&](int x, int y) {
        x = ((x % t.w) + t.w) % t.w;  // around the part
        y = std::min(std::max(y, 0), t.h - 1);
        const float* p = t.rgb + ((size_t)y * t.w + x) * 3;
        return V3(p[0], p[1], p[2]);
    };
    return Lerp(Lerp(at(x0, y0), at(x0 + 1, y0), ax), Lerp(at(x0, y0 + 1), at(x0 + 1, y0 + 1), ax), ay);
}

// The canvas every frame of both genders is drawn on: w x h pixels, the
// model's x = 0 at the middle column and its floor at row floorY.
struct Canvas {
    int w, h;
    float floorY, scale;  // scale: pixels a metre
};

// A soft dark line around the figure, under its own edge pixels, so that
// it stands out from any backdrop at a few pixels a limb.
Rgba Outline(const Rgba& in) {
    Rgba out = in;
    const unsigned char ink[3] = {24, 20, 28};
    for (int y = 0; y < in.h; ++y)
        for (int x = 0; x < in.w; ++x) {
            int near = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx || dy) && nx >= 0 && ny >= 0 && nx < in.w && ny < in.h)
                        near = std::max(near, (int)in.At(nx, ny)[3] * (dx && dy ? 2 : 3) / 3);
                }
            const unsigned char* p = in.At(x, y);
            const int line = near * kOutline / 255;  // the line's own alpha
            if (line <= p[3]) continue;
            // The pixel over the line.
            unsigned char* o = out.At(x, y);
            const int a = p[3] + line * (255 - p[3]) / 255;
            for (int k = 0; k < 3; ++k) o[k] = (unsigned char)((p[k] * p[3] + ink[k] * line * (255 - p[3]) / 255) / a);
            o[3] = (unsigned char)a;
        }
    return out;
}

// Draws one frame into a w x h picture with 16 samples a pixel: depth per
// sample, alpha from the samples covered.
Rgba DrawFrame(const Outfit& outfit, const PoseResult& pose, const Canvas& c) {
    const int W = c.w * kSamples, H = c.h * kSamples;
    const float s = c.scale * kSamples, cx = W * 0.5f, cy = c.floorY * kSamples;
    std::vector<float> depth((size_t)W * H, 1e9f);
    std::vector<V3> colour((size_t)W * H);
    for (const DressedPart& part : outfit) {
        const MeshData& m = *part.mesh;
        Posed posed = PoseMesh(m, pose);
        std::vector<float> sx(m.v.size()), sy(m.v.size());
        for (size_t i = 0; i < m.v.size(); ++i) {
            sx[i] = cx - posed.p[i].x * s;  // the model's right hand on the picture's left
            sy[i] = cy - posed.p[i].y * s;
        }
        for (size_t t = 0; t + 2 < m.idx.size(); t += 3) {
            const uint32_t ia = m.idx[t], ib = m.idx[t + 1], ic = m.idx[t + 2];
            const float ax = sx[ia], ay = sy[ia], bx = sx[ib], by = sy[ib], qx = sx[ic], qy = sy[ic];
            const float area = (bx - ax) * (qy - ay) - (by - ay) * (qx - ax);
            if (std::fabs(area) < 1e-6f) continue;
            const int x0 = std::max(0, (int)std::floor(std::min({ax, bx, qx})));
            const int x1 = std::min(W - 1, (int)std::ceil(std::max({ax, bx, qx})));
            const int y0 = std::max(0, (int)std::floor(std::min({ay, by, qy})));
            const int y1 = std::min(H - 1, (int)std::ceil(std::max({ay, by, qy})));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const float px = x + 0.5f, py = y + 0.5f;
                    const float w0 = ((bx - px) * (qy - py) - (by - py) * (qx - px)) / area;
                    const float w1 = ((qx - px) * (ay - py) - (qy - py) * (ax - px)) / area;
                    const float w2 = 1 - w0 - w1;
                    if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                    const float z = w0 * posed.p[ia].z + w1 * posed.p[ib].z + w2 * posed.p[ic].z;
                    float& d = depth[(size_t)y * W + x];
                    if (z >= d) continue;  // the viewer is on -z
                    d = z;
                    const Vert &A = m.v[ia], &B = m.v[ib], &C = m.v[ic];
                    // u runs around a part: a triangle across the seam takes
                    // its corners' u on the same side.
                    float ua = A.u, ub = B.u, uc = C.u;
                    const float hi = std::max({ua, ub, uc});
                    if (hi - std::min({ua, ub, uc}) > 0.5f) {
                        if (hi - ua > 0.5f) ua += 1;
                        if (hi - ub > 0.5f) ub += 1;
                        if (hi - uc > 0.5f) uc += 1;
                    }
                    const float u = w0 * ua + w1 * ub + w2 * uc, v = w0 * A.v + w1 * B.v + w2 * C.v;
                    const V3 n = Normalize(posed.n[ia] * w0 + posed.n[ib] * w1 + posed.n[ic] * w2);
                    colour[(size_t)y * W + x] = Texel(part.picture, u, v) * Shade(n);
                }
        }
    }
    Rgba out(c.w, c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            V3 sum;
            int covered = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    const size_t at = (size_t)(y * kSamples + j) * W + x * kSamples + i;
                    if (depth[at] >= 1e9f) continue;
                    sum = sum + colour[at];
                    ++covered;
                }
            if (!covered) continue;
            unsigned char* p = out.At(x, y);
            const float k = 255.0f / covered;
            p[0] = (unsigned char)std::lround(std::min(255.0f, sum.x * k));
            p[1] = (unsigned char)std::lround(std::min(255.0f, sum.y * k));
            p[2] = (unsigned char)std::lround(std::min(255.0f, sum.z * k));
            p[3] = (unsigned char)((covered * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
        }
    return Outline(out);
}

// Where the figure lies across every frame of both genders, in metres:
// x from -halfWidth to halfWidth, y from bottom to top.
struct Extent {
    float halfWidth = 0, bottom = 1e9f, top = -1e9f;
};
void Grow(Extent& e, const Outfit& outfit, const PoseResult& pose) {
    for (const DressedPart& part : outfit) {
        Posed posed = PoseMesh(*part.mesh, pose);
        for (const V3& p : posed.p) {
            e.halfWidth = std::max(e.halfWidth, std::fabs(p.x));
            e.bottom = std::min(e.bottom, p.y);
            e.top = std::max(e.top, p.y);
        }
    }
}

std::string Lower(std::string s) {
    for (char& ch : s) ch = (char)std::tolower((unsigned char)ch);
    return s;
}

} // namespace

bool WriteLiteAvatars(const Outfit outfits[2], const LiteAvatarOptions& o, std::string& error) {
    const std::vector<Animation> animations = Animations();
    std::vector<std::vector<PoseResult>> poses(animations.size());
    for (size_t a = 0; a < animations.size(); ++a)
        for (int i = 0; i < animations[a].frames; ++i) poses[a].push_back(SolvePose(animations[a].pose(i)));

    // One canvas for everything: the scale from the man at rest, the size
    // from every frame of both, so both genders stand on the same floor
    // with their origin in the same place.
    Extent rest, all;
    const PoseResult restPose = SolvePose(RestPose());
    Grow(rest, outfits[0], restPose);
    Canvas canvas;
    canvas.scale = kFigurePixels / (rest.top - rest.bottom);
    for (int g = 0; g < 2; ++g)
        for (const auto& frames : poses)
            for (const PoseResult& p : frames) Grow(all, outfits[g], p);
    const int half = (int)std::ceil(all.halfWidth * canvas.scale) + 2;
    canvas.w = 2 * half;
    const int above = (int)std::ceil(all.top * canvas.scale) + 2;
    const int below = (int)std::ceil(-all.bottom * canvas.scale) + 2;
    canvas.h = above + below + (above + below) % 2;
    canvas.floorY = (float)above;

    if (!MakeDirs(o.outDir)) {
        error = "cannot make " + o.outDir;
        return false;
    }
    ManifestGroupWriter group("made by qvcharacter: the Lite's avatar sprites", o.group);
    std::vector<Rgba> previews;
    const char* const genders[2] = {"MALE", "FEMALE"};
    for (int g = 0; g < 2; ++g) {
        // Every frame drawn once; frames alike share a cell of their sheet.
        std::vector<std::vector<Rgba>> drawn(animations.size());
        for (size_t a = 0; a < animations.size(); ++a)
            for (const PoseResult& p : poses[a]) drawn[a].push_back(DrawFrame(outfits[g], p, canvas));
        std::map<std::string, std::vector<size_t>> sheets;  // sheet word -> its animations
        for (size_t a = 0; a < animations.size(); ++a) sheets[animations[a].sheet].push_back(a);
        for (const auto& sheet : sheets) {
            std::vector<SheetCell> cells;
            std::vector<std::vector<size_t>> cellOf(animations.size());
            for (size_t a : sheet.second)
                for (const Rgba& f : drawn[a]) cellOf[a].push_back(FindOrAddCell(cells, TrimmedCell(f)));
            // Cells keep their order; the frames find theirs by number.
            std::vector<std::pair<size_t, size_t>> source(cells.size());  // (animation, frame) drawn there
            for (size_t a : sheet.second)
                for (size_t i = 0; i < cellOf[a].size(); ++i) source[cellOf[a][i]] = {a, i};
            int sheetW = 0, sheetH = 0;
            LayoutShelves(cells, sheetW, sheetH);
            const Rgba image = PaintSheet(cells, sheetW, sheetH, [&](size_t k) -> const Rgba& {
                return drawn[source[k].first][source[k].second];
            });
            const std::string base = Lower(std::string(genders[g]) + "_" + sheet.first);
            std::vector<unsigned char> png = EncodeRgbaPng(image);
            if (png.empty() || !WriteFileIfChanged(JoinPath(o.outDir, base + ".png"), png.data(), png.size())) {
                error = "cannot write " + JoinPath(o.outDir, base + ".png");
                return false;
            }
            if (!group.Add(std::string("TEX_") + genders[g] + "_" + sheet.first, base + ".png", error)) return false;
            for (size_t a : sheet.second) {
                SpriteClip idle{"idle", {}};
                for (size_t k : cellOf[a]) idle.frames.push_back(&cells[k]);
                const std::vector<unsigned char> pack =
                    WriteSpritePack({idle}, canvas.w * 0.5f, canvas.h * 0.5f, sheetW, sheetH);
                const std::string file = Lower(std::string(genders[g]) + "_" + animations[a].word) + ".mdl";
                if (!WriteFileIfChanged(JoinPath(o.outDir, file), pack.data(), pack.size())) {
                    error = "cannot write " + JoinPath(o.outDir, file);
                    return false;
                }
                if (!group.Add(std::string("MDL_") + genders[g] + "_" + animations[a].word, file, error)) return false;
            }
        }
        if (!o.preview.empty())
            for (const auto& frames : drawn) {
                // A row a animation on a studio blue.
                Rgba row(canvas.w * (int)frames.size(), canvas.h);
                for (size_t i = 0; i < frames.size(); ++i)
                    for (int y = 0; y < canvas.h; ++y)
                        for (int x = 0; x < canvas.w; ++x) {
                            const unsigned char* s = frames[i].At(x, y);
                            unsigned char* d = row.At((int)i * canvas.w + x, y);
                            const unsigned char back[3] = {40, 46, 84};
                            for (int k = 0; k < 3; ++k)
                                d[k] = (unsigned char)((s[k] * s[3] + back[k] * (255 - s[3])) / 255);
                            d[3] = 255;
                        }
                previews.push_back(std::move(row));
            }
    }
    if (!group.Write(o.manifest)) {
        error = "cannot write " + o.manifest;
        return false;
    }
    if (!o.preview.empty()) {
        int w = 0, h = 0;
        for (const Rgba& r : previews) {
            w = std::max(w, r.w);
            h += r.h;
        }
        Rgba all(w, h);
        int y = 0;
        for (const Rgba& r : previews) {
            for (int j = 0; j < r.h; ++j) std::memcpy(all.At(0, y + j), r.At(0, j), (size_t)r.w * 4);
            y += r.h;
        }
        std::vector<unsigned char> png = EncodeRgbaPng(all);
        if (!MakeDirs(o.preview) || png.empty() ||
            !WriteFileIfChanged(JoinPath(o.preview, "lite_avatars.png"), png.data(), png.size())) {
            error = "cannot write the preview into " + o.preview;
            return false;
        }
    }
    return true;
}
