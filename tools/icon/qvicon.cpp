// Draws the program icon: a small prize wheel of coloured wedges with a gold
// rim and hub, anti-aliased, at 16, 32 and 48 pixels, written as a .ico.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "file_util.h"

namespace {

struct Rgba {
    float r, g, b, a;
};

const Rgba kWedges[] = {
    {0.86f, 0.16f, 0.20f, 1}, {0.98f, 0.62f, 0.10f, 1}, {0.99f, 0.86f, 0.18f, 1},
    {0.20f, 0.70f, 0.30f, 1}, {0.10f, 0.55f, 0.85f, 1}, {0.45f, 0.25f, 0.75f, 1},
    {0.93f, 0.35f, 0.62f, 1}, {0.05f, 0.05f, 0.08f, 1},
};
const Rgba kGold = {0.96f, 0.78f, 0.25f, 1};
const Rgba kShadow = {0.35f, 0.22f, 0.05f, 1};

Rgba Shade(float x, float y) {
    const float pi = 3.14159265f;
    float r = std::sqrt(x * x + y * y);
    if (r > 1.0f) return {0, 0, 0, 0};
    if (r > 0.86f) return r > 0.95f ? kShadow : kGold;
    if (r < 0.18f) return r < 0.07f ? kShadow : kGold;
    float angle = std::atan2(y, x) + pi;  // 0..2pi
    int wedge = (int)(angle / (2 * pi) * 16) % 16;
    Rgba c = kWedges[wedge % 8];
    // A soft highlight from the upper left.
    float light = 0.85f + 0.25f * (-x * 0.6f + y * 0.8f) * (1.0f - r * 0.5f);
    return {std::fmin(c.r * light, 1.0f), std::fmin(c.g * light, 1.0f), std::fmin(c.b * light, 1.0f), 1};
}

// One 32-bit image entry: BITMAPINFOHEADER, bottom-up BGRA pixels, AND mask.
std::vector<uint8_t> DrawImage(int size) {
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        out.push_back((uint8_t)v);
        out.push_back((uint8_t)(v >> 8));
    };
    int maskStride = ((size + 31) / 32) * 4;
    put32(40);
    put32(size);
    put32(size * 2);
    put16(1);
    put16(32);
    put32(0);
    put32(size * size * 4 + maskStride * size);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    const int ss = 4;  // supersampling per axis
    for (int row = size - 1; row >= 0; --row) {
        for (int col = 0; col < size; ++col) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    float x = ((col + (sx + 0.5f) / ss) / size) * 2 - 1;
                    float y = 1 - ((row + (sy + 0.5f) / ss) / size) * 2;
                    Rgba c = Shade(x * 1.02f, y * 1.02f);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            float n = (float)(ss * ss);
            float alpha = a / n;
            float inv = a > 0 ? 1.0f / a : 0;
            out.push_back((uint8_t)std::lround(b * inv * 255));
            out.push_back((uint8_t)std::lround(g * inv * 255));
            out.push_back((uint8_t)std::lround(r * inv * 255));
            out.push_back((uint8_t)std::lround(alpha * 255));
        }
    }
    out.insert(out.end(), (size_t)maskStride * size, 0);  // alpha carries the shape
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qvicon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int s : sizes) images.push_back(DrawImage(s));
    std::vector<uint8_t> ico = {0, 0, 1, 0, (uint8_t)images.size(), 0};
    uint32_t offset = 6 + 16 * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        uint8_t entry[16] = {(uint8_t)sizes[i], (uint8_t)sizes[i], 0, 0, 1, 0, 32, 0};
        uint32_t len = (uint32_t)images[i].size();
        for (int k = 0; k < 4; ++k) {
            entry[8 + k] = (uint8_t)(len >> (8 * k));
            entry[12 + k] = (uint8_t)(offset >> (8 * k));
        }
        ico.insert(ico.end(), entry, entry + 16);
        offset += len;
    }
    for (auto& img : images) ico.insert(ico.end(), img.begin(), img.end());
    if (!WriteFileBytes(argv[1], ico.data(), ico.size())) {
        std::fprintf(stderr, "qvicon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
