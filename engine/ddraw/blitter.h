// The Lite edition's one drawing routine: copies a rectangle of an image in
// memory into the back surface, 1:1, clipped to the surface, optionally
// upside down, blending images with alpha. No device calls: the surface is
// plain memory that the DirectDraw device locks around each frame.
#pragma once
#include <cstdint>
#include <vector>

// The destination: width x height pixels of 2 (RGB565) or 4 (B G R X)
// bytes, rows pitch bytes apart (pitch may exceed width x bytes).
struct SurfaceInfo {
    unsigned width = 0;
    unsigned height = 0;
    unsigned bytesPerPixel = 0;
    int pitch = 0;
    unsigned char* pixels = nullptr;
};

// A source image, rows top down, width pixels a row: either 4 bytes a
// pixel, B G R A (0xAARRGGBB read as a little-endian word; images without
// alpha, hasAlpha false, hold 255 in every fourth byte), or, for an image
// without alpha only, 3 bytes a pixel, B G R (pixels null, pixels24 set).
struct SpriteImage {
    unsigned width = 0;
    unsigned height = 0;
    bool hasAlpha = false;
    const uint32_t* pixels = nullptr;
    const unsigned char* pixels24 = nullptr;
    // The same image in RGB565, for 16-bit surfaces; null when not made.
    const uint16_t* pixels565 = nullptr;
    // The rows of an image with alpha as runs of transparent, opaque and
    // partly transparent pixels (MakeSpriteRuns): run i of row y is
    // runs[rowStart[y] + i], its length << 2 | its class. Null: the blitter
    // tests every pair of pixels instead; the picture is the same.
    const uint32_t* rowStart = nullptr;
    const uint32_t* runs = nullptr;
};

enum SpriteRunClass { kRunTransparent = 0, kRunOpaque = 1, kRunBlended = 2 };

// The runs of width x height pixels, for SpriteImage::rowStart and ::runs.
void MakeSpriteRuns(const uint32_t* pixels, unsigned width, unsigned height, std::vector<uint32_t>& rowStart,
                    std::vector<uint32_t>& runs);

// Copies the w x h region at (sx, sy) of the image so that its top-left
// corner lands on surface pixel (dx, dy). Whatever falls outside the
// surface or the image is left out. mirrorRows draws the region upside
// down. Opaque images are copied; images with alpha are taken two pixels
// at a time: both transparent leave the surface alone, both opaque are
// copied, anything else is blended pixel by pixel as
// dst + (((src - dst) x alpha) >> 8), keeping the surface's fourth byte.
// A lone last pixel of an odd-width row is always blended.
void BlitRegion(const SurfaceInfo& dst, int dx, int dy, const SpriteImage& image, int sx, int sy, int w, int h,
                bool mirrorRows);

// RGB565 from 8-bit channels (low bits dropped), and back (low bits zero).
inline uint16_t To565(uint32_t bgra) {
    return (uint16_t)(((bgra >> 8) & 0xF800) | ((bgra >> 5) & 0x07E0) | ((bgra >> 3) & 0x001F));
}
inline uint32_t From565(uint16_t p) {
    return ((uint32_t)(p & 0xF800) << 8) | ((uint32_t)(p & 0x07E0) << 5) | ((uint32_t)(p & 0x001F) << 3);
}
