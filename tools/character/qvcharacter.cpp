// qvcharacter: writes the contestants' skeletal characters and their
// textures.
//
//   qvcharacter --characters <dir> --out <dir> --manifest <fragment.xml>
//               [--group <path>] [--preview <dir>]
//
// Into --characters (the game's loose "data/Characters" folder): the
// skeleton (hi_skeleton.ske), one skin record per body part and style
// (hi_m_hair1.ski ...), one animation record per motion (clap.ska ...) and
// the character document contestant.skc. Into --out: the part textures as
// PNG images, one per gender, part and colour, listed in the manifest
// fragment with the labels the game asks for (TEX_MALE_HAIR_1 ...).
// --preview also draws a few still frames of each gender for a person to
// look at.
//
// With --lite-avatars (and --lite-manifest) it also draws, or draws only,
// the Lite edition's avatar sprites: the same bodies, textures and skeleton
// posed through the Lite's six avatar animations and drawn flat at the
// Lite's screen size (lite_avatars.h).
//
// The records are written here independently of the game's reader, and the
// game's unit tests load what this tool writes with the game's own code.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "body.h"
#include "lite_avatars.h"
#include "file_util.h"
#include "image_io.h"
#include "manifest_group.h"

namespace {

const float kPi = 3.14159265f;

// ---- part tables: what the game's appearance editor offers ------------------

const int kPartCount = 6;
const char* const kPartModel[kPartCount] = {"hair", "body_head", "body_hands", "body_torso", "facehair", "glasses"};
const char* const kPartLabel[kPartCount] = {"HAIR_", "HEAD_", "HANDS_", "TORSO_", "FACE_HAIR_", "GLASSES_"};
const int kColourCount[kPartCount] = {4, 4, 4, 10, 4, 1};
// Styles per gender of the numbered parts: hair, face hair, glasses.
const int kHairStyles = 4;
const int kFaceHairStyles = 3;
const int kGlassesStyles = 1;

struct Rgb {
    float r, g, b;
};
const Rgb kHairColours[4] = {{0.14f, 0.10f, 0.08f}, {0.40f, 0.23f, 0.12f}, {0.86f, 0.69f, 0.40f}, {0.62f, 0.24f, 0.11f}};
const Rgb kSkinColours[4] = {{0.97f, 0.82f, 0.71f}, {0.90f, 0.70f, 0.54f}, {0.74f, 0.53f, 0.36f}, {0.47f, 0.31f, 0.21f}};
const Rgb kClothColours[10] = {{0.80f, 0.16f, 0.17f}, {0.17f, 0.33f, 0.76f}, {0.16f, 0.56f, 0.28f}, {0.96f, 0.78f, 0.20f},
                               {0.50f, 0.26f, 0.66f}, {0.96f, 0.52f, 0.16f}, {0.10f, 0.56f, 0.58f}, {0.94f, 0.52f, 0.66f},
                               {0.93f, 0.93f, 0.90f}, {0.26f, 0.27f, 0.31f}};
const Rgb kTrousers = {0.20f, 0.21f, 0.27f};
const Rgb kShoes = {0.16f, 0.11f, 0.08f};

// ---- textures --------------------------------------------------------------------

struct Canvas {
    int w, h;
    std::vector<Rgb> px;
    Canvas(int width, int height, Rgb fill) : w(width), h(height), px((size_t)width * height, fill) {}
    Rgb& At(int x, int y) { return px[(size_t)y * w + x]; }
    Rgb Sample(float u, float v) const {
        int x = std::min(w - 1, std::max(0, (int)(u * w)));
        int y = std::min(h - 1, std::max(0, (int)(v * h)));
        return px[(size_t)y * w + x];
    }
    // Blends colour over an ellipse (centre and radii in texture units, 0..1).
    void Ellipse(float cu, float cv, float ru, float rv, Rgb c, float opacity = 1.0f) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float du = ((x + 0.5f) / w - cu) / ru, dv = ((y + 0.5f) / h - cv) / rv;
                float d = std::sqrt(du * du + dv * dv);
                float edge = 1.5f / (std::min(ru * w, rv * h));
                float a = std::min(1.0f, std::max(0.0f, (1.0f - d) / edge)) * opacity;
                if (a <= 0) continue;
                Rgb& p = At(x, y);
                p = {p.r + (c.r - p.r) * a, p.g + (c.g - p.g) * a, p.b + (c.b - p.b) * a};
            }
    }
    // A soft band along v = cv + bend * ((u - cu) / ru)^2 for |u - cu| < ru.
    void Arc(float cu, float cv, float ru, float bend, float thick, Rgb c, float opacity = 1.0f) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
                float t = (u - cu) / ru;
                if (std::fabs(t) > 1) continue;
                float line = cv + bend * t * t;
                float d = std::fabs(v - line) / (thick * (1.0f - 0.5f * t * t));
                float a = std::min(1.0f, std::max(0.0f, 1.5f - d)) * opacity;
                if (a <= 0) continue;
                Rgb& p = At(x, y);
                p = {p.r + (c.r - p.r) * a, p.g + (c.g - p.g) * a, p.b + (c.b - p.b) * a};
            }
    }
    void Rect(float u0, float v0, float u1, float v1, Rgb c) {
        for (int y = (int)(v0 * h); y < (int)(v1 * h) && y < h; ++y)
            for (int x = (int)(u0 * w); x < (int)(u1 * w) && x < w; ++x) At(x, y) = c;
    }
    // Fine grain: brightness varying per pixel, with streaks along v.
    void Grain(float amount, float streak, unsigned seed) {
        unsigned s = seed * 2654435761u + 1;
        auto rnd = [&]() {
            s = s * 1664525u + 1013904223u;
            return ((s >> 8) & 0xFFFF) / 65535.0f - 0.5f;
        };
        std::vector<float> column(w);
        for (float& c : column) c = rnd();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float k = 1.0f + amount * rnd() + streak * column[x];
                Rgb& p = At(x, y);
                p = {p.r * k, p.g * k, p.b * k};
            }
    }
};

Rgb Scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

std::vector<unsigned char> EncodePng(const Canvas& c) {
    return EncodePngRows(c.w, c.h, false, [&](int y, unsigned char* row) {
        for (int x = 0; x < c.w; ++x) {
            const Rgb& p = c.px[(size_t)y * c.w + x];
            row[x * 3] = (unsigned char)std::lround(std::min(1.0f, std::max(0.0f, p.r)) * 255);
            row[x * 3 + 1] = (unsigned char)std::lround(std::min(1.0f, std::max(0.0f, p.g)) * 255);
            row[x * 3 + 2] = (unsigned char)std::lround(std::min(1.0f, std::max(0.0f, p.b)) * 255);
        }
    });
}

// Texture layouts (u around the body part, front at u = 0.5; v down):
//   head:  the head's sphere (v = polar angle / pi); plain skin below v 0.8
//          (neck, nose and ears take it from there)
//   torso: shirt v 0..0.55 (body above 0.3, sleeves below), trousers
//          0.55..0.85, shoes 0.85..1
const float kHeadPlainV = 0.9f;
const float kSleeveV0 = 0.32f, kSleeveV1 = 0.54f;
const float kTrouserV0 = 0.56f, kTrouserV1 = 0.84f;
const float kShoeV = 0.93f;

Canvas HairTexture(Rgb c, unsigned seed) {
    Canvas t(128, 128, c);
    t.Grain(0.10f, 0.35f, seed);
    return t;
}

Canvas HeadTexture(Rgb skin, bool female, int tone) {
    Canvas t(256, 256, skin);
    t.Grain(0.03f, 0.0f, 7 + tone);
    Rgb shade = Scale(skin, 0.82f);
    Rgb brow = tone == 3 ? Rgb{0.08f, 0.06f, 0.05f} : Rgb{0.25f, 0.17f, 0.11f};
    Rgb iris = tone >= 2 ? Rgb{0.26f, 0.16f, 0.09f} : (female ? Rgb{0.22f, 0.45f, 0.30f} : Rgb{0.25f, 0.42f, 0.62f});
    const float eyeV = 0.475f;
    for (int s = -1; s <= 1; s += 2) {
        float eu = 0.5f + s * 0.062f;
        t.Ellipse(eu, eyeV + 0.004f, 0.040f, 0.034f, shade, 0.45f);  // socket
        t.Ellipse(eu, eyeV, 0.032f, 0.024f, {0.97f, 0.96f, 0.94f});
        t.Ellipse(eu, eyeV + 0.001f, 0.0165f, 0.021f, iris);
        t.Ellipse(eu, eyeV + 0.001f, 0.008f, 0.010f, {0.04f, 0.04f, 0.05f});
        t.Ellipse(eu - 0.005f, eyeV - 0.007f, 0.004f, 0.004f, {1, 1, 1}, 0.9f);  // catch light
        // Upper lid line and brow.
        t.Arc(eu, eyeV - 0.018f, 0.034f, 0.014f, female ? 0.0045f : 0.003f, {0.10f, 0.07f, 0.06f});
        if (female) t.Arc(eu + s * 0.024f, eyeV - 0.022f, 0.014f, 0.005f, 0.0025f, {0.05f, 0.04f, 0.04f});
        t.Arc(eu + s * 0.004f, eyeV - 0.068f + (female ? -0.004f : 0.0f), 0.040f, 0.016f, female ? 0.005f : 0.008f,
              brow);
        // Cheeks.
        t.Ellipse(eu + s * 0.012f, 0.585f, 0.035f, 0.03f, Mix(skin, {0.9f, 0.45f, 0.45f}, 0.35f), female ? 0.45f : 0.2f);
    }
    // Nose shadow and nostrils.
    t.Ellipse(0.5f, 0.572f, 0.02f, 0.008f, Scale(skin, 0.78f), 0.7f);
    // The mouth: a friendly smile.
    Rgb lip = female ? Mix(skin, {0.78f, 0.20f, 0.28f}, 0.75f) : Mix(skin, {0.62f, 0.30f, 0.28f}, 0.45f);
    t.Arc(0.5f, 0.632f, 0.048f, -0.016f, 0.007f, lip);
    t.Arc(0.5f, 0.642f, 0.042f, -0.022f, 0.004f, {0.35f, 0.12f, 0.12f});
    t.Arc(0.5f, 0.656f, 0.034f, -0.008f, female ? 0.007f : 0.005f, lip, 0.8f);
    // Ears: a little shading.
    t.Ellipse(0.25f, 0.5f, 0.02f, 0.04f, shade, 0.4f);
    t.Ellipse(0.75f, 0.5f, 0.02f, 0.04f, shade, 0.4f);
    return t;
}

Canvas SkinTexture(Rgb skin, int tone) {
    Canvas t(64, 64, skin);
    t.Grain(0.03f, 0.0f, 17 + tone);
    return t;
}

Canvas TorsoTexture(Rgb cloth, bool female, int index) {
    Canvas t(256, 256, cloth);
    t.Grain(0.05f, 0.04f, 31 + index);
    Rgb dark = Scale(cloth, 0.72f), light = Mix(cloth, {1, 1, 1}, 0.45f);
    if (female) {
        // Scoop neckline trim and a fine pattern of dots.
        for (int i = 0; i < 9; ++i)
            for (int j = 0; j < 5; ++j) t.Ellipse(0.06f + i * 0.11f + (j % 2) * 0.055f, 0.05f + j * 0.055f, 0.006f, 0.0035f, light, 0.7f);
        t.Arc(0.5f, 0.004f, 0.11f, 0.05f, 0.010f, light);
    } else {
        // Collar, button placket and buttons, a pocket.
        t.Arc(0.5f, 0.0f, 0.11f, 0.06f, 0.022f, dark);
        t.Arc(0.5f, 0.0f, 0.10f, 0.055f, 0.009f, light);
        t.Rect(0.493f, 0.06f, 0.507f, 0.30f, dark);
        for (int i = 0; i < 4; ++i) t.Ellipse(0.5f, 0.10f + i * 0.055f, 0.006f, 0.007f, light);
        t.Rect(0.56f, 0.09f, 0.62f, 0.15f, dark);
    }
    // Cuffs at the wrist end of the sleeves, a belt, trousers and shoes.
    t.Rect(0, kSleeveV1 - 0.02f, 1, kSleeveV1, dark);
    t.Rect(0, kTrouserV0 - 0.02f, 1, kTrouserV0 + 0.005f, {0.08f, 0.06f, 0.05f});
    t.Rect(0.49f, kTrouserV0 - 0.02f, 0.51f, kTrouserV0 + 0.005f, {0.75f, 0.65f, 0.35f});
    Canvas trousers(256, 256, kTrousers);
    trousers.Grain(0.05f, 0.1f, 5);
    for (int y = (int)(kTrouserV0 * 256) + 1; y < (int)(kTrouserV1 * 256); ++y)
        for (int x = 0; x < 256; ++x) t.At(x, y) = trousers.At(x, y);
    t.Rect(0, kTrouserV1, 1, 1, kShoes);
    return t;
}

// ---- meshes ----------------------------------------------------------------------

// A grid of (rows + 1) x (cols + 1) vertices made by f(i, j); quads wound
// anticlockwise seen from outside (where the normals point).
template <typename F> void AddGrid(MeshData& m, int rows, int cols, F f) {
    uint32_t base = (uint32_t)m.v.size();
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j) m.v.push_back(f(i, j));
    auto tri = [&](uint32_t a, uint32_t b, uint32_t c) {
        const Vert &A = m.v[a], &B = m.v[b], &C = m.v[c];
        V3 n = Cross(B.p - A.p, C.p - A.p);
        if (Length(n) < 1e-10f) return;
        if (Dot(n, A.n + B.n + C.n) < 0) std::swap(b, c);
        m.idx.insert(m.idx.end(), {a, b, c});
    };
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            uint32_t a = base + i * (cols + 1) + j, b = a + 1, c = a + cols + 1, d = c + 1;
            tri(a, b, d);
            tri(a, d, c);
        }
}

// An ellipsoid on one bone. uv: the texture point of a direction (or the
// spherical map when null).
void Ellipsoid(MeshData& m, V3 c, V3 r, int bone, int rows, int cols, float fixedU = -1, float fixedV = -1,
               float (*bump)(float theta, float phi) = nullptr) {
    AddGrid(m, rows, cols, [&](int i, int j) {
        float theta = kPi * i / rows, phi = 2 * kPi * j / cols - kPi;  // phi 0 faces -z
        V3 d(std::sin(theta) * std::sin(phi), std::cos(theta), -std::sin(theta) * std::cos(phi));
        float k = bump ? 1.0f + bump(theta, phi) : 1.0f;
        Vert v;
        v.p = c + V3(d.x * r.x * k, d.y * r.y * k, d.z * r.z * k);
        v.n = Normalize(V3(d.x / r.x, d.y / r.y, d.z / r.z));
        v.u = fixedU >= 0 ? fixedU : (float)j / cols;
        v.v = fixedV >= 0 ? fixedV : (float)i / rows;
        v.b0 = v.b1 = bone;
        return v;
    });
}

// A tube through rings; each ring is a centre, two radii (across x and z of
// the plane across the tube) and its bone weights.
struct Ring {
    V3 c;
    float rx, rz;
    int b0, b1;
    float w0;
    float v;  // texture v of the ring
};
void Tube(MeshData& m, const std::vector<Ring>& rings, int cols) {
    int n = (int)rings.size();
    AddGrid(m, n - 1, cols, [&](int i, int j) {
        V3 t = Normalize(rings[std::min(n - 1, i + 1)].c - rings[std::max(0, i - 1)].c);
        V3 ax = Normalize(V3(1, 0, 0) - t * t.x);
        V3 az = Normalize(V3(0, 0, 1) - t * t.z - ax * Dot(ax, V3(0, 0, 1)));
        float u = (float)j / cols, a = 2 * kPi * u - 1.5f * kPi;  // u 0.5 faces -z
        const Ring& r = rings[i];
        Vert v;
        v.p = r.c + ax * (r.rx * std::cos(a)) + az * (r.rz * std::sin(a));
        v.n = Normalize(ax * (std::cos(a) / r.rx) + az * (std::sin(a) / r.rz));
        v.u = u;
        v.v = r.v;
        v.b0 = r.b0;
        v.b1 = r.b1;
        v.w0 = r.w0;
        return v;
    });
}

// A fan closing the ring of a tube (centre facing along normal).
void Cap(MeshData& m, const Ring& r, V3 normal, int cols) {
    uint32_t centre = (uint32_t)m.v.size();
    Vert c;
    c.p = r.c;
    c.n = normal;
    c.u = 0.5f;
    c.v = r.v;
    c.b0 = r.b0;
    c.b1 = r.b1;
    c.w0 = r.w0;
    m.v.push_back(c);
    for (int j = 0; j <= cols; ++j) {
        float a = 2 * kPi * j / cols;
        Vert v = c;
        v.p = r.c + V3(r.rx * std::cos(a), 0, r.rz * std::sin(a));
        v.u = (float)j / cols;
        m.v.push_back(v);
    }
    for (int j = 0; j < cols; ++j) {
        uint32_t a = centre + 1 + j, b = a + 1;
        V3 n = Cross(m.v[a].p - c.p, m.v[b].p - c.p);
        if (Dot(n, normal) >= 0) m.idx.insert(m.idx.end(), {centre, a, b});
        else m.idx.insert(m.idx.end(), {centre, b, a});
    }
}

// ---- the body parts --------------------------------------------------------------

struct Build {
    bool female;
    float s;  // overall width scale of the body
};

const V3 kHeadCentre(0, 1.675f, -0.008f);
V3 HeadRadii(bool female) { return female ? V3(0.087f, 0.112f, 0.100f) : V3(0.092f, 0.116f, 0.104f); }

MeshData HeadMesh(bool female) {
    MeshData m;
    V3 r = HeadRadii(female);
    // The jaw narrows towards the chin.
    auto jaw = [](float theta, float) { return theta > 1.9f ? -0.12f * (theta - 1.9f) : 0.0f; };
    Ellipsoid(m, kHeadCentre, r, B_HEAD, 20, 28, -1, -1, jaw);
    Ellipsoid(m, kHeadCentre + V3(0, -0.010f, -r.z + 0.006f), V3(0.013f, 0.020f, 0.017f), B_HEAD, 6, 8, 0.5f,
              kHeadPlainV);
    for (int s = -1; s <= 1; s += 2)
        Ellipsoid(m, kHeadCentre + V3(s * (r.x - 0.004f), -0.005f, 0.005f), V3(0.014f, 0.030f, 0.019f), B_HEAD, 5, 8,
                  s < 0 ? 0.25f : 0.75f, kHeadPlainV);
    float nr = female ? 0.050f : 0.060f;
    Tube(m,
         {{V3(0, 1.44f, 0.005f), nr * 1.2f, nr * 1.1f, B_CHEST, B_NECK, 0.5f, kHeadPlainV},
          {V3(0, 1.52f, 0.01f), nr, nr, B_NECK, B_NECK, 1, kHeadPlainV},
          {V3(0, 1.61f, 0.012f), nr, nr, B_NECK, B_HEAD, 0.3f, kHeadPlainV}},
         12);
    return m;
}

MeshData HandsMesh(bool female) {
    MeshData m;
    float k = female ? 0.9f : 1.0f;
    for (int s = -1; s <= 1; s += 2) {
        int hand = s > 0 ? B_HAND_R : B_HAND_L;
        V3 w = kBones[hand].bind;
        // Palms face the thighs; the thumb points forward.
        Ellipsoid(m, w + V3(0, -0.045f * k, 0), V3(0.022f * k, 0.050f * k, 0.040f * k), hand, 8, 10, 0.5f, 0.5f);
        Ellipsoid(m, w + V3(-s * 0.002f, -0.115f * k, 0.002f), V3(0.017f * k, 0.048f * k, 0.037f * k), hand, 8, 10,
                  0.5f, 0.5f);
        Ellipsoid(m, w + V3(-s * 0.010f, -0.060f * k, -0.040f * k), V3(0.014f * k, 0.036f * k, 0.014f * k), hand, 6,
                  8, 0.5f, 0.5f);
    }
    return m;
}

MeshData TorsoMesh(bool female) {
    MeshData m;
    // Body: from the hips to the collar, elliptic sections.
    struct Section {
        float y, rx, rz, z;
        int b0, b1;
        float w0;
    };
    std::vector<Section> male = {
        {0.86f, 0.160f, 0.105f, 0.0f, B_HIPS, B_HIPS, 1},     {0.98f, 0.168f, 0.110f, 0.0f, B_HIPS, B_HIPS, 1},
        {1.08f, 0.155f, 0.106f, 0.0f, B_HIPS, B_SPINE, 0.5f}, {1.18f, 0.152f, 0.108f, -0.005f, B_SPINE, B_SPINE, 1},
        {1.28f, 0.166f, 0.118f, -0.01f, B_SPINE, B_CHEST, 0.4f}, {1.36f, 0.180f, 0.120f, -0.01f, B_CHEST, B_CHEST, 1},
        {1.425f, 0.186f, 0.108f, 0.0f, B_CHEST, B_CHEST, 1},  {1.475f, 0.150f, 0.088f, 0.005f, B_CHEST, B_CHEST, 1},
        {1.515f, 0.072f, 0.064f, 0.008f, B_CHEST, B_NECK, 0.7f}};
    std::vector<Section> woman = {
        {0.86f, 0.168f, 0.110f, 0.0f, B_HIPS, B_HIPS, 1},     {0.98f, 0.172f, 0.112f, 0.0f, B_HIPS, B_HIPS, 1},
        {1.08f, 0.140f, 0.098f, 0.0f, B_HIPS, B_SPINE, 0.5f}, {1.18f, 0.128f, 0.095f, -0.005f, B_SPINE, B_SPINE, 1},
        {1.27f, 0.150f, 0.120f, -0.018f, B_SPINE, B_CHEST, 0.4f}, {1.34f, 0.158f, 0.122f, -0.02f, B_CHEST, B_CHEST, 1},
        {1.42f, 0.170f, 0.100f, 0.0f, B_CHEST, B_CHEST, 1},   {1.47f, 0.138f, 0.082f, 0.005f, B_CHEST, B_CHEST, 1},
        {1.51f, 0.064f, 0.058f, 0.008f, B_CHEST, B_NECK, 0.7f}};
    const std::vector<Section>& body = female ? woman : male;
    std::vector<Ring> rings;
    for (size_t i = 0; i < body.size(); ++i) {
        const Section& s = body[i];
        float v = 0.30f * (1.0f - (s.y - 0.86f) / (1.515f - 0.86f));
        rings.push_back({V3(0, s.y, s.z), s.rx, s.rz, s.b0, s.b1, s.w0, v});
    }
    Tube(m, rings, 24);
    // Sleeves from the shoulder to the wrist.
    for (int side = -1; side <= 1; side += 2) {
        int up = side > 0 ? B_UPPERARM_R : B_UPPERARM_L, fore = up + 1, hand = up + 2, clav = up - 1;
        V3 sh = kBones[up].bind, el = kBones[fore].bind, wr = kBones[hand].bind;
        float k = female ? 0.88f : 1.0f;
        auto at = [&](float v) { return kSleeveV0 + (kSleeveV1 - kSleeveV0) * v; };
        Tube(m,
             {{sh + V3(-side * 0.04f, -0.01f, 0), 0.035f * k, 0.040f * k, clav, up, 0.6f, at(0)},
              {sh + V3(-side * 0.005f, -0.03f, 0), 0.052f * k, 0.054f * k, up, clav, 0.8f, at(0.1f)},
              {Lerp(sh, el, 0.5f), 0.052f * k, 0.052f * k, up, up, 1, at(0.3f)},
              {el, 0.046f * k, 0.046f * k, up, fore, 0.5f, at(0.5f)},
              {Lerp(el, wr, 0.5f), 0.043f * k, 0.041f * k, fore, fore, 1, at(0.75f)},
              {wr + V3(0, 0.01f, 0), 0.038f * k, 0.036f * k, fore, hand, 0.85f, at(1.0f)}},
             12);
    }
    // Trouser legs and shoes.
    for (int side = -1; side <= 1; side += 2) {
        int thigh = side > 0 ? B_THIGH_R : B_THIGH_L, shin = thigh + 1, foot = thigh + 2;
        V3 hp = kBones[thigh].bind, kn = kBones[shin].bind, an = kBones[foot].bind;
        auto at = [&](float v) { return kTrouserV0 + (kTrouserV1 - kTrouserV0) * v; };
        Tube(m,
             {{hp + V3(side * 0.01f, 0.03f, 0), 0.088f, 0.095f, B_HIPS, thigh, 0.5f, at(0)},
              {Lerp(hp, kn, 0.4f), 0.075f, 0.080f, thigh, thigh, 1, at(0.25f)},
              {kn, 0.058f, 0.060f, thigh, shin, 0.5f, at(0.5f)},
              {Lerp(kn, an, 0.5f), 0.056f, 0.056f, shin, shin, 1, at(0.75f)},
              {an + V3(0, 0.04f, 0), 0.052f, 0.052f, shin, foot, 0.6f, at(1.0f)}},
             12);
        Ellipsoid(m, an + V3(0, -0.035f, -0.045f), V3(0.048f, 0.045f, 0.115f), foot, 8, 12, 0.5f, kShoeV);
    }
    // Close the body at the bottom.
    Cap(m, rings.front(), V3(0, -1, 0), 24);
    return m;
}

// Hair: a shell over the head, cut at a hairline that depends on the
// direction around the head, optionally hanging on below it.
struct HairStyle {
    float front, side, back;  // where the shell stops: polar angle / pi
    float thick;              // how far it stands off the head (fraction)
    float topLift;            // extra volume on the crown
    float curl;               // bumpiness
    float hang;               // metres of hair hanging below the cut at the back and sides
    float frontLift;          // a quiff over the forehead
};

MeshData HairMesh(bool female, const HairStyle& st) {
    MeshData m;
    V3 r = HeadRadii(female);
    const int rows = 16, cols = 32;
    AddGrid(m, rows, cols, [&](int i, int j) {
        float phi = 2 * kPi * j / cols - kPi, a = std::fabs(phi) / kPi;  // a: 0 front, 1 back
        // A rounded hairline: flat across the forehead, easing into the sides.
        auto ease = [](float x) { return x * x * (3 - 2 * x); };
        float cut = a < 0.5f ? st.front + (st.side - st.front) * ease(a / 0.5f)
                             : st.side + (st.back - st.side) * ((a - 0.5f) / 0.5f);
        float t = (float)i / rows;
        // The shell runs over the head to the cut, then hangs straight down.
        float headPart = st.hang > 0 && a > 0.3f ? 0.75f : 1.0f;
        float theta, drop = 0;
        if (t <= headPart) {
            theta = kPi * cut * (t / headPart);
        } else {
            theta = kPi * cut;
            float hangHere = st.hang * std::min(1.0f, (a - 0.3f) / 0.2f);
            drop = hangHere * (t - headPart) / (1.0f - headPart);
        }
        V3 d(std::sin(theta) * std::sin(phi), std::cos(theta), -std::sin(theta) * std::cos(phi));
        float k = 1.0f + st.thick + st.topLift * std::max(0.0f, std::cos(theta)) +
                  st.curl * std::sin(7 * phi) * std::sin(6 * theta) +
                  st.frontLift * std::max(0.0f, std::cos(phi)) * std::max(0.0f, std::sin(2.2f * theta)) *
                      (theta < 1.2f ? 1.0f : 0.0f);
        Vert v;
        v.p = kHeadCentre + V3(d.x * r.x * k, d.y * r.y * k - drop, d.z * r.z * k);
        if (drop > 0) {
            // Hanging hair spreads a little as it falls.
            float spread = 1.0f + 0.8f * drop;
            v.p.x = kHeadCentre.x + (v.p.x - kHeadCentre.x) * spread;
            v.p.z = kHeadCentre.z + (v.p.z - kHeadCentre.z) * spread + 0.15f * drop;
        }
        v.n = Normalize(V3(d.x / r.x, drop > 0 ? 0.0f : d.y / r.y, d.z / r.z));
        v.u = (float)j / cols;
        v.v = t;
        v.b0 = v.b1 = B_HEAD;
        return v;
    });
    return m;
}

MeshData HairFor(bool female, int style) {
    if (!female) {
        switch (style) {
        case 0: return HairMesh(false, {0.27f, 0.42f, 0.62f, 0.05f, 0.03f, 0.0f, 0, 0.0f});    // short crop
        case 1: return HairMesh(false, {0.29f, 0.44f, 0.62f, 0.07f, 0.10f, 0.0f, 0, 0.10f});   // side swept
        case 2: return HairMesh(false, {0.28f, 0.46f, 0.64f, 0.14f, 0.12f, 0.03f, 0, 0.0f});   // curls
        default: return HairMesh(false, {0.30f, 0.55f, 0.74f, 0.08f, 0.06f, 0.0f, 0, 0.04f});  // collar length
        }
    }
    switch (style) {
    case 0: return HairMesh(true, {0.26f, 0.66f, 0.76f, 0.10f, 0.08f, 0.0f, 0, 0.05f});        // bob
    case 1: return HairMesh(true, {0.27f, 0.58f, 0.68f, 0.08f, 0.07f, 0.0f, 0.22f, 0.04f});    // long
    case 2: {                                                                                 // ponytail
        MeshData m = HairMesh(true, {0.26f, 0.50f, 0.62f, 0.07f, 0.06f, 0.0f, 0, 0.03f});
        MeshData tail;
        Tube(tail,
             {{V3(0, 1.76f, 0.09f), 0.030f, 0.030f, B_HEAD, B_HEAD, 1, 0.2f},
              {V3(0, 1.72f, 0.135f), 0.038f, 0.036f, B_HEAD, B_HEAD, 1, 0.4f},
              {V3(0, 1.63f, 0.15f), 0.034f, 0.030f, B_HEAD, B_HEAD, 1, 0.7f},
              {V3(0, 1.53f, 0.14f), 0.012f, 0.012f, B_HEAD, B_HEAD, 1, 1.0f}},
             10);
        uint32_t base = (uint32_t)m.v.size();
        m.v.insert(m.v.end(), tail.v.begin(), tail.v.end());
        for (uint32_t i : tail.idx) m.idx.push_back(base + i);
        return m;
    }
    default: {                                                                                // bun
        MeshData m = HairMesh(true, {0.26f, 0.50f, 0.64f, 0.07f, 0.06f, 0.0f, 0, 0.02f});
        Ellipsoid(m, V3(0, 1.79f, 0.06f), V3(0.050f, 0.045f, 0.048f), B_HEAD, 8, 12);
        return m;
    }
    }
}

MeshData FaceHairFor(int style) {
    MeshData m;
    V3 r = HeadRadii(false);
    // Moustache over the lip.
    Ellipsoid(m, kHeadCentre + V3(0, -0.036f, -r.z + 0.010f), V3(0.030f, 0.008f, 0.010f), B_HEAD, 6, 10, -1, -1);
    if (style == 0) return m;
    // A beard band around the jaw (full) or on the chin only (goatee).
    float width = style == 1 ? 0.62f : 0.20f;
    const int rows = 8, cols = 16;
    AddGrid(m, rows, cols, [&](int i, int j) {
        float phi = width * kPi * (2.0f * j / cols - 1.0f), a = std::fabs(phi) / (width * kPi);
        float top = style == 1 ? 0.70f - 0.14f * a : 0.72f;
        float bottom = style == 1 ? 0.92f : 0.88f;
        float theta = kPi * (top + (bottom - top) * i / rows);
        V3 d(std::sin(theta) * std::sin(phi), std::cos(theta), -std::sin(theta) * std::cos(phi));
        float k = 1.06f - 0.12f * std::max(0.0f, theta - 1.9f);
        Vert v;
        v.p = kHeadCentre + V3(d.x * r.x * k, d.y * r.y * k - (style == 2 ? 0.004f : 0.0f), d.z * r.z * k);
        v.n = Normalize(V3(d.x / r.x, d.y / r.y, d.z / r.z));
        v.u = (float)j / cols;
        v.v = (float)i / rows;
        v.b0 = v.b1 = B_HEAD;
        return v;
    });
    return m;
}

MeshData GlassesMesh(bool female) {
    MeshData m;
    V3 r = HeadRadii(female);
    float z = kHeadCentre.z - r.z - 0.012f, y = kHeadCentre.y - 0.004f;
    for (int s = -1; s <= 1; s += 2) {
        // A rim: a thin ring around each eye.
        std::vector<Ring> rim;
        const int n = 16;
        for (int i = 0; i <= n; ++i) {
            float a = 2 * kPi * i / n;
            V3 c(s * 0.036f + 0.024f * std::cos(a), y + 0.019f * std::sin(a), z);
            rim.push_back({c, 0.0035f, 0.0035f, B_HEAD, B_HEAD, 1, 0.5f});
        }
        Tube(m, rim, 6);
        // Temple arms back to the ears.
        Tube(m,
             {{V3(s * 0.060f, y + 0.004f, z + 0.002f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f},
              {V3(s * (r.x + 0.004f), y + 0.006f, kHeadCentre.z - 0.02f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f},
              {V3(s * (r.x + 0.002f), y - 0.004f, kHeadCentre.z + 0.02f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f}},
             5);
    }
    Tube(m,
         {{V3(-0.013f, y + 0.006f, z - 0.001f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f},
          {V3(0, y + 0.009f, z - 0.003f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f},
          {V3(0.013f, y + 0.006f, z - 0.001f), 0.003f, 0.003f, B_HEAD, B_HEAD, 1, 0.5f}},
         5);
    return m;
}

// The contestants are drawn a little larger in the head than life, which
// reads better at the size they appear on screen: every vertex carried by
// the head alone is scaled about the top of the neck.
const float kHeadScale = 1.25f;
void EnlargeHead(MeshData& m) {
    const V3 pivot = kBones[B_HEAD].bind;
    for (Vert& v : m.v)
        if (v.b0 == B_HEAD && (v.b1 == B_HEAD || v.w0 >= 1.0f)) v.p = pivot + (v.p - pivot) * kHeadScale;
}

// ---- writing the records -----------------------------------------------------------

struct Out {
    std::vector<unsigned char> b;
    void U8(unsigned v) { b.push_back((unsigned char)v); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8(v >> 8 & 0xFF);
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(v >> (8 * i) & 0xFF);
    }
    void F32(float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        U32(u);
    }
    void Text(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
    void Header(const char* magic, const std::string& name) {
        std::string m = magic;
        m.resize(16, ' ');
        Text(m);
        U16((unsigned)name.size());
        Text(name);
    }
    // The game reads a rotation through its rigid matrices, which turn by
    // the conjugate of what is stored: store the conjugate of ours.
    void Rotation(Q4 q) {
        q = NormalizeQ(q);
        F32(-q.x);
        F32(-q.y);
        F32(-q.z);
        F32(q.w);
    }
};

std::vector<unsigned char> SkeletonRecord() {
    Out o;
    o.Header("Skeleton1.00", "hi_skeleton");
    o.U16(BONE_COUNT);
    for (int i = 0; i < BONE_COUNT; ++i) {
        o.F32(kBones[i].bind.x);
        o.F32(kBones[i].bind.y);
        o.F32(kBones[i].bind.z);
        o.Rotation(Q4{});
        o.U16(kBones[i].parent < 0 ? 0xFFFF : (unsigned)kBones[i].parent);
        std::vector<int> children;
        for (int j = 0; j < BONE_COUNT; ++j)
            if (kBones[j].parent == i) children.push_back(j);
        o.U16((unsigned)children.size());
        for (int c : children) o.U16((unsigned)c);
    }
    return o.b;
}

const float kKeysPerSecond = 20.0f;

std::vector<unsigned char> AnimationRecord(const Motion& m) {
    Out o;
    o.Header("SkAnimation1.00", m.name);
    int keys = std::max(2, (int)std::lround(m.duration * kKeysPerSecond) + 1);
    std::vector<PoseResult> poses;
    for (int k = 0; k < keys; ++k) poses.push_back(SolvePose(Interpolate(m, m.duration * k / (keys - 1))));
    o.F32(m.duration);
    o.U8(m.loop ? 1 : 0);
    o.U16(BONE_COUNT);
    o.U16((unsigned)keys);
    for (int b = 0; b < BONE_COUNT; ++b) o.U16((unsigned)b);
    for (int b = 0; b < BONE_COUNT; ++b)
        for (int k = 0; k < keys; ++k) {
            o.Rotation(poses[k].rotation[b]);
            o.F32(poses[k].position[b].x);
            o.F32(poses[k].position[b].y);
            o.F32(poses[k].position[b].z);
        }
    return o.b;
}

// Baked light: the game draws without lighting, so each vertex carries the
// shade of a soft key light from the front, above and to one side.
float Shade(V3 n) {
    V3 light = Normalize(V3(0.35f, 0.55f, -0.75f));
    float key = std::max(0.0f, Dot(n, light));
    float sky = 0.5f + 0.5f * n.y;
    return std::min(1.0f, 0.42f + 0.48f * key + 0.16f * sky);
}

std::vector<unsigned char> SkinRecord(const std::string& name, const MeshData& m, const std::string& texture) {
    Out o;
    o.Header("Skin1.00", name);
    o.U8(2 | 4);  // colours and texture coordinates
    o.U32((uint32_t)m.v.size());
    o.U32((uint32_t)m.idx.size());
    for (const Vert& v : m.v) {
        o.F32(v.p.x);
        o.F32(v.p.y);
        o.F32(v.p.z);
    }
    for (const Vert& v : m.v) {
        float s = Shade(v.n);
        o.F32(s);
        o.F32(s);
        o.F32(s);
        o.F32(1.0f);
    }
    // v is stored one below the drawn value.
    for (const Vert& v : m.v) {
        o.F32(v.u);
        o.F32(v.v - 1.0f);
    }
    for (uint32_t i : m.idx) o.U32(i);
    o.U16((unsigned)texture.size());
    o.Text(texture);
    for (const Vert& v : m.v) o.U16(v.b0 == v.b1 || v.w0 >= 1.0f ? 1 : 2);
    for (const Vert& v : m.v) {
        bool one = v.b0 == v.b1 || v.w0 >= 1.0f;
        o.U16((unsigned)v.b0);
        if (!one) o.U16((unsigned)v.b1);
        o.F32(one ? 1.0f : v.w0);
        if (!one) o.F32(1.0f - v.w0);
    }
    return o.b;
}

// ---- previews ------------------------------------------------------------------

struct Image {
    int w, h;
    std::vector<Rgb> px;
    std::vector<float> depth;
    Image(int width, int height) : w(width), h(height), px((size_t)width * height, {0.16f, 0.18f, 0.30f}), depth((size_t)width * height, 1e9f) {}
};

// Draws a posed mesh seen from the front (the viewer on -z, the model's
// right hand on the picture's left, as in the game).
void Draw(Image& img, const MeshData& m, const PoseResult& pose, const Canvas& tex, float scale, float cx, float cy,
          float yawDegrees = 0) {
    Q4 view = AxisAngle(V3(0, 1, 0), yawDegrees);
    std::vector<V3> p(m.v.size());
    for (size_t i = 0; i < m.v.size(); ++i) {
        const Vert& v = m.v[i];
        auto place = [&](int b) {
            V3 local = v.p - kBones[b].bind;
            return pose.position[b] + Rotate(pose.rotation[b], local);
        };
        V3 a = place(v.b0);
        p[i] = Rotate(view, v.b0 == v.b1 ? a : a * v.w0 + place(v.b1) * (1 - v.w0));
    }
    for (size_t t = 0; t + 2 < m.idx.size(); t += 3) {
        uint32_t ia = m.idx[t], ib = m.idx[t + 1], ic = m.idx[t + 2];
        auto sx = [&](V3 q) { return cx - q.x * scale; };
        auto sy = [&](V3 q) { return cy - q.y * scale; };
        float ax = sx(p[ia]), ay = sy(p[ia]), bx = sx(p[ib]), by = sy(p[ib]), qx = sx(p[ic]), qy = sy(p[ic]);
        float area = (bx - ax) * (qy - ay) - (by - ay) * (qx - ax);
        if (std::fabs(area) < 1e-6f) continue;
        int x0 = std::max(0, (int)std::min({ax, bx, qx})), x1 = std::min(img.w - 1, (int)std::max({ax, bx, qx}) + 1);
        int y0 = std::max(0, (int)std::min({ay, by, qy})), y1 = std::min(img.h - 1, (int)std::max({ay, by, qy}) + 1);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float w0 = ((bx - px) * (qy - py) - (by - py) * (qx - px)) / area;
                float w1 = ((qx - px) * (ay - py) - (qy - py) * (ax - px)) / area;
                float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float z = w0 * p[ia].z + w1 * p[ib].z + w2 * p[ic].z;
                float& d = img.depth[(size_t)y * img.w + x];
                if (z >= d) continue;
                d = z;
                const Vert &A = m.v[ia], &B = m.v[ib], &C = m.v[ic];
                float u = w0 * A.u + w1 * B.u + w2 * C.u, v = w0 * A.v + w1 * B.v + w2 * C.v;
                float s = w0 * Shade(A.n) + w1 * Shade(B.n) + w2 * Shade(C.n);
                img.px[(size_t)y * img.w + x] = Scale(tex.Sample(u, v), s);
            }
    }
}

// ---- main -------------------------------------------------------------------------

struct Options {
    std::string characters, out, manifest, group = "characters/", preview;
    std::string liteAvatars, liteManifest, liteGroup = "avatars/";
};

bool Fail(const std::string& what) {
    std::fprintf(stderr, "qvcharacter: %s\n", what.c_str());
    return false;
}

std::string ModelName(bool female, int part, int style) {
    std::string n = std::string(female ? "hi_f_" : "hi_m_") + kPartModel[part];
    if (part == 0 || part == 4 || part == 5) n += std::to_string(style + 1);
    return n;
}

std::string TextureLabel(bool female, int part, int colour) {
    return std::string("TEX_") + (female ? "FEMALE_" : "MALE_") + kPartLabel[part] + std::to_string(colour + 1);
}

// The full edition's skins, animations and character document.
bool WriteFullRecords(const Options& o, const std::map<std::string, MeshData>& meshes,
                      const std::vector<Motion>& motions) {
    auto write = [&](const std::string& dir, const std::string& file, const std::vector<unsigned char>& bytes) {
        if (bytes.empty() || !WriteFileIfChanged(JoinPath(dir, file), bytes.data(), bytes.size()))
            return Fail("cannot write " + JoinPath(dir, file));
        return true;
    };
    for (const auto& entry : meshes) {
        const std::string& name = entry.first;
        bool female = name.compare(0, 5, "hi_f_") == 0;
        int part = 0;
        for (int p = 0; p < kPartCount; ++p)
            if (name.compare(5, std::strlen(kPartModel[p]), kPartModel[p]) == 0) part = p;
        if (!write(o.characters, name + ".ski", SkinRecord(name, entry.second, TextureLabel(female, part, 0))))
            return false;
    }
    for (const Motion& m : motions)
        if (!write(o.characters, m.name + ".ska", AnimationRecord(m))) return false;
    std::string skc =
        "<?xml version=\"1.0\" ?>\n"
        "<!-- made by qvcharacter: the body every contestant is dressed on -->\n"
        "<character name=\"hi_contestant\">\n"
        "    <skeleton name=\"hi_skeleton\" />\n"
        "    <skins>\n"
        "        <Hair skin=\"hi_m_hair1\" color=\"1.000000 1.000000 1.000000 1.000000\" />\n"
        "        <Head skin=\"hi_m_body_head\" color=\"1.000000 1.000000 1.000000 1.000000\" />\n"
        "        <Hands skin=\"hi_m_body_hands\" color=\"1.000000 1.000000 1.000000 1.000000\" />\n"
        "        <Torso skin=\"hi_m_body_torso\" color=\"1.000000 1.000000 1.000000 1.000000\" />\n"
        "    </skins>\n"
        "    <animation name=\"avatar_idle_01\" />\n"
        "</character>\n";
    if (!WriteFileIfChanged(JoinPath(o.characters, "contestant.skc"), skc)) return Fail("cannot write contestant.skc");
    return true;
}

// The Lite's avatars wear what a new contestant typically starts in: for
// him side-swept brown hair and a blue shirt, for her long auburn hair and
// a red top.
struct DefaultLook {
    int hairStyle, hairColour, skinTone, clothColour;
};
const DefaultLook kLiteLooks[2] = {{1, 1, 1, 1}, {1, 3, 0, 0}};

// The trouser legs stop a little above the shoes, where the podiums hide
// them in the 3D studio; the Lite's sprites show whole contestants, so
// their hems come down over the shoes.
MeshData LiteTorso(MeshData m) {
    for (Vert& v : m.v)
        if (std::fabs(v.v - kTrouserV1) < 1e-4f && (v.b1 == B_FOOT_R || v.b1 == B_FOOT_L)) v.p.y -= 0.035f;
    return m;
}

// At the Lite's size a hand is a few pixels: drawn a third larger about the
// wrist, a clap still reads.
MeshData LiteHands(MeshData m) {
    for (Vert& v : m.v) v.p = kBones[v.b0].bind + (v.p - kBones[v.b0].bind) * 1.35f;
    return m;
}

bool WriteLite(const Options& o, const std::map<std::string, MeshData>& meshes,
               const std::map<std::string, Canvas>& textures) {
    static_assert(sizeof(Rgb) == 3 * sizeof(float), "texels are three floats");
    const MeshData torsos[2] = {LiteTorso(meshes.at(ModelName(false, 3, 0))),
                                LiteTorso(meshes.at(ModelName(true, 3, 0)))};
    const MeshData hands[2] = {LiteHands(meshes.at(ModelName(false, 2, 0))),
                               LiteHands(meshes.at(ModelName(true, 2, 0)))};
    Outfit outfits[2];
    for (int g = 0; g < 2; ++g) {
        const bool female = g == 1;
        const DefaultLook& look = kLiteLooks[g];
        const int parts[4][3] = {{0, look.hairStyle, look.hairColour},
                                 {1, 0, look.skinTone},
                                 {2, 0, look.skinTone},
                                 {3, 0, look.clothColour}};
        for (const auto& part : parts) {
            const Canvas& t = textures.at(TextureLabel(female, part[0], part[2]));
            DressedPart dressed;
            dressed.mesh = part[0] == 3   ? &torsos[g]
                           : part[0] == 2 ? &hands[g]
                                          : &meshes.at(ModelName(female, part[0], part[1]));
            dressed.picture = {t.w, t.h, reinterpret_cast<const float*>(t.px.data())};
            outfits[g].push_back(dressed);
        }
    }
    LiteAvatarOptions lite;
    lite.outDir = o.liteAvatars;
    lite.manifest = o.liteManifest;
    lite.group = o.liteGroup;
    lite.preview = o.preview;
    std::string error;
    if (!WriteLiteAvatars(outfits, lite, error)) return Fail(error);
    return true;
}

bool Run(const Options& o) {
    const bool full = !o.characters.empty(), lite = !o.liteAvatars.empty();
    if (full && (!MakeDirs(o.characters) || !MakeDirs(o.out))) return Fail("cannot make the output folders");
    auto write = [&](const std::string& dir, const std::string& file, const std::vector<unsigned char>& bytes) {
        if (bytes.empty() || !WriteFileIfChanged(JoinPath(dir, file), bytes.data(), bytes.size()))
            return Fail("cannot write " + JoinPath(dir, file));
        return true;
    };

    // Textures, each listed by label.
    ManifestGroupWriter group("made by qvcharacter: the contestants' part textures", o.group);
    std::map<std::string, Canvas> textures;
    for (int g = 0; g < 2; ++g)
        for (int part = 0; part < kPartCount; ++part)
            for (int c = 0; c < kColourCount[part]; ++c) {
                bool female = g == 1;
                if (female && part == 4) continue;  // no face hair
                Canvas t = part == 0 || part == 4 ? HairTexture(kHairColours[c], 3 + c + 10 * part)
                           : part == 1            ? HeadTexture(kSkinColours[c], female, c)
                           : part == 2            ? SkinTexture(kSkinColours[c], c)
                           : part == 3            ? TorsoTexture(kClothColours[c], female, c)
                                                  : Canvas(16, 16, {0.07f, 0.06f, 0.07f});
                std::string label = TextureLabel(female, part, c), file = label.substr(4) + ".png";
                for (char& ch : file) ch = (char)std::tolower((unsigned char)ch);
                std::string error;
                if (full && !group.Add(label, file, error)) return Fail(error);
                if (full && !write(o.out, file, EncodePng(t))) return false;
                textures.emplace(label, t);
            }
    if (full && !group.Write(o.manifest)) return Fail("cannot write " + o.manifest);

    // Skeleton, skins, animations and the character.
    if (full && !write(o.characters, "hi_skeleton.ske", SkeletonRecord())) return false;
    std::map<std::string, MeshData> meshes;
    for (int g = 0; g < 2; ++g) {
        bool female = g == 1;
        for (int s = 0; s < kHairStyles; ++s) meshes[ModelName(female, 0, s)] = HairFor(female, s);
        meshes[ModelName(female, 1, 0)] = HeadMesh(female);
        meshes[ModelName(female, 2, 0)] = HandsMesh(female);
        meshes[ModelName(female, 3, 0)] = TorsoMesh(female);
        if (!female)
            for (int s = 0; s < kFaceHairStyles; ++s) meshes[ModelName(false, 4, s)] = FaceHairFor(s);
        for (int s = 0; s < kGlassesStyles; ++s) meshes[ModelName(female, 5, s)] = GlassesMesh(female);
    }
    for (auto& entry : meshes) EnlargeHead(entry.second);
    if (lite && !WriteLite(o, meshes, textures)) return false;
    std::vector<Motion> motions = AllMotions();
    if (full && !WriteFullRecords(o, meshes, motions)) return false;

    if (!o.preview.empty()) {
        MakeDirs(o.preview);
        struct Shot {
            const char* motion;
            float at;
        };
        const Shot shots[] = {{"avatar_idle_01", 0}, {"clap", 0.42f}, {"clap", 0.60f}, {"spin", 0.75f},
                              {"wave", 0.6f},        {"raiseroof", 0.75f}, {"sob", 0.9f}, {"headslap", 0.6f},
                              {"annoyed", 0.6f},     {"brevanto", 0.35f}, {"handslap", 0.6f}, {"idle_random_movehand", 1.0f}};
        for (int g = 0; g < 2; ++g) {
            bool female = g == 1;
            const int n = (int)(sizeof(shots) / sizeof(shots[0]));
            Image img(200 * 6, 300 * 2);
            for (int k = 0; k < n; ++k) {
                const Motion* m = nullptr;
                for (const Motion& x : motions)
                    if (x.name == shots[k].motion) m = &x;
                PoseResult pose = SolvePose(Interpolate(*m, shots[k].at));
                float cx = 100 + 200 * (k % 6), cy = 300 * (k / 6) + 1.95f * 150;
                int style = k % kHairStyles, tone = k % 4, cloth = k % 10;
                auto draw = [&](int part, int st, int colour) {
                    std::string name = ModelName(female, part, st);
                    if (!meshes.count(name)) return;
                    Draw(img, meshes[name], pose, textures.at(TextureLabel(female, part, colour)), 150, cx, cy);
                };
                draw(0, style, k % 4);
                draw(1, 0, tone);
                draw(2, 0, tone);
                draw(3, 0, cloth);
                if (!female && k % 3 != 0) draw(4, k % 3 - 1, k % 4);
                if (k % 4 == 1) draw(5, 0, 0);
            }
            Canvas out(img.w, img.h, {0, 0, 0});
            out.px = img.px;
            write(o.preview, female ? "female.png" : "male.png", EncodePng(out));
            // Close-ups of the faces in every hair style.
            Image faces(300 * 8, 300);
            PoseResult rest = SolvePose(RestPose());
            for (int k = 0; k < 8; ++k) {
                float cx = 150 + 300 * k, cy = 150 + 1.70f * 800;
                auto draw = [&](int part, int st, int colour) {
                    std::string name = ModelName(female, part, st);
                    if (!meshes.count(name)) return;
                    Draw(faces, meshes[name], rest, textures.at(TextureLabel(female, part, colour)), 800, cx, cy);
                };
                draw(0, k % 4, (k + 1) % 4);
                draw(1, 0, k % 4);
                draw(3, 0, k);
                if (!female && k >= 4) draw(4, k % 3, (k + 1) % 4);
                if (k == 5) draw(5, 0, 0);
            }
            // Busts at rest from the front, a three-quarter view and the side.
            Image busts(400 * 3, 420);
            for (int k = 0; k < 3; ++k)
                for (int part : {0, 1, 2, 3}) {
                    std::string name = ModelName(female, part, part == 0 ? 1 : 0);
                    Draw(busts, meshes[name], rest, textures.at(TextureLabel(female, part, part == 3 ? 6 : 1)), 400,
                         200 + 400 * k, 60 + 1.85f * 400, k * 40.0f);
                }
            Canvas bout(busts.w, busts.h, {0, 0, 0});
            bout.px = busts.px;
            write(o.preview, female ? "female_busts.png" : "male_busts.png", EncodePng(bout));
            Canvas fout(faces.w, faces.h, {0, 0, 0});
            fout.px = faces.px;
            write(o.preview, female ? "female_faces.png" : "male_faces.png", EncodePng(fout));
        }
    }
    if (!o.preview.empty()) {
        // Every motion in eight steps, from the front and from the side.
        const int steps = 8, cell = 120;
        Image sheet(cell * steps * 2, cell * 2 * (int)motions.size() / 2 + cell);
        for (size_t k = 0; k < motions.size(); ++k) {
            const Motion& m = motions[k];
            for (int i = 0; i < steps; ++i) {
                PoseResult pose = SolvePose(Interpolate(m, m.duration * i / (steps - 1)));
                for (int side = 0; side < 2; ++side) {
                    float cx = cell / 2 + cell * (i + steps * side), cy = cell * (float)k + cell * 0.5f + 1.25f * 100;
                    for (int part : {0, 1, 2, 3}) {
                        std::string name = ModelName(false, part, 0);
                        Draw(sheet, meshes[name], pose, textures.at(TextureLabel(false, part, 1)), 100, cx, cy,
                             side ? 90.0f : 0.0f);
                    }
                }
            }
        }
        Canvas out(sheet.w, sheet.h, {0, 0, 0});
        out.px = sheet.px;
        write(o.preview, "motions.png", EncodePng(out));
    }
    std::printf("qvcharacter: %zu skins, %zu animations, %zu textures\n", meshes.size(), motions.size(),
                textures.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        std::string* slot = a == "--characters" ? &o.characters
                            : a == "--out"      ? &o.out
                            : a == "--manifest" ? &o.manifest
                            : a == "--group"    ? &o.group
                            : a == "--preview"  ? &o.preview
                            : a == "--lite-avatars"  ? &o.liteAvatars
                            : a == "--lite-manifest" ? &o.liteManifest
                            : a == "--lite-group"    ? &o.liteGroup
                                                : nullptr;
        if (!slot || i + 1 >= argc) {
            std::fprintf(stderr,
                         "usage: qvcharacter [--characters <dir> --out <dir> --manifest <fragment.xml> "
                         "[--group <path>]] [--lite-avatars <dir> --lite-manifest <fragment.xml> "
                         "[--lite-group <path>]] [--preview <dir>]\n");
            return 2;
        }
        *slot = argv[++i];
    }
    const bool full = !o.characters.empty() || !o.out.empty() || !o.manifest.empty();
    const bool lite = !o.liteAvatars.empty() || !o.liteManifest.empty();
    if ((full && (o.characters.empty() || o.out.empty() || o.manifest.empty())) ||
        (lite && (o.liteAvatars.empty() || o.liteManifest.empty())) || (!full && !lite)) {
        std::fprintf(stderr, "qvcharacter: --characters, --out and --manifest go together, as do --lite-avatars "
                             "and --lite-manifest; one set is needed\n");
        return 2;
    }
    return Run(o) ? 0 : 1;
}
