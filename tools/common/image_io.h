// Images for the host tools that bake pictures: PNG and JPEG read into
// 8-bit RGBA, PNG and JPEG written from rows.
#pragma once
#include <functional>
#include <string>
#include <vector>

// w x h pixels, 8 bits a channel, red, green, blue, alpha; rows top-down.
struct RgbaImage {
    int w = 0, h = 0;
    std::vector<unsigned char> px;
    RgbaImage() = default;
    RgbaImage(int width, int height) : w(width), h(height), px((size_t)width * height * 4, 0) {}
    unsigned char* At(int x, int y) { return &px[((size_t)y * w + x) * 4]; }
    const unsigned char* At(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }
};

// A PNG or JPEG file (told apart by its first bytes) as RGBA; a JPEG is
// opaque. false with the reason in error when it cannot be read.
bool ReadImageFile(const std::string& path, RgbaImage& out, std::string& error);

// A PNG of w x h pixels, 8 bits a channel, RGB or (with alpha) RGBA, at the
// best compression; fillRow(y, row) writes each row's bytes. Empty when
// libpng fails.
std::vector<unsigned char> EncodePngRows(int w, int h, bool alpha,
                                         const std::function<void(int, unsigned char*)>& fillRow);
// The whole image as an RGBA PNG.
std::vector<unsigned char> EncodeRgbaPng(const RgbaImage& img);
// The image's colour as a baseline JPEG at quality 1..100, without chroma
// subsampling (coloured lettering stays sharp); alpha is dropped. Empty
// when libjpeg fails.
std::vector<unsigned char> EncodeJpeg(const RgbaImage& img, int quality);
