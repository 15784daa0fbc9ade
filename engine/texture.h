// Textures: PNG and JPEG images decoded through the file system, padded to
// powers of two and handed to the device.
#pragma once
#include "resource_manager.h"

// Pixel formats of the device texture (the Direct3D numbering).
const unsigned kTextureFormatARGB = 21;  // images with alpha, 4 bytes a pixel
const unsigned kTextureFormatXRGB = 22;  // images without, 3 bytes a pixel

// The largest image side we accept; anything larger is refused as damaged
// rather than risking absurd allocations.
const unsigned kMaxImageSide = 4096;

struct Texture : Resource {
    void* deviceTexture;     // opaque handle of the device implementation
    unsigned width;          // image size rounded up to powers of two
    unsigned height;
    float uScale;            // image width / texture width
    float vScale;            // image height / texture height
    unsigned pixelFormat;    // kTextureFormatARGB or kTextureFormatXRGB
    unsigned bytesPerPixel;  // of the decoded pixels: 4 or 3
    unsigned char* pixels;   // decoded, padded; freed once uploaded
    unsigned imageWidth;     // the image's own size
    unsigned imageHeight;
};

// Fills the padding of a decoded texture whose image occupies the top-left
// imageWidth x imageHeight texels: every texel right of the image repeats
// its row's last pixel, every row below repeats the last image row, so
// linear filtering at the image's edges never blends in undefined texels.
void PadTexturePixels(unsigned char* pixels, unsigned width, unsigned height, unsigned imageWidth,
                      unsigned imageHeight, unsigned bytesPerPixel);
