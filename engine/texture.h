// Textures: PNG and JPEG images decoded through the file system, laid out
// as the device asks (DeviceTextureLayout: padded to powers of two or at
// the image's own size, red or blue first) and handed to the device.
#pragma once
#include "resource_manager.h"

// Pixel formats of the device texture (the Direct3D numbering).
const unsigned kTextureFormatARGB = 21;  // images with alpha, 4 bytes a pixel
const unsigned kTextureFormatXRGB = 22;  // images without, 3 bytes a pixel

// The largest image side we accept; anything larger is refused as damaged
// rather than risking absurd allocations.
const unsigned kMaxImageSide = 4096;

// What a texture's pixels hold.
const unsigned kTextureKindColour = 0;  // colour only, 3 bytes a pixel
const unsigned kTextureKindAlpha = 1;   // colour and alpha, 4 bytes a pixel

struct Texture : Resource {
    void* deviceTexture;     // opaque handle of the device implementation
    unsigned width;          // the pixels' size: the image's own, or rounded
    unsigned height;         //   up to powers of two when the device pads
    float uScale;            // image width / texture width (1 unpadded)
    float vScale;            // image height / texture height
    unsigned pixelFormat;    // kTextureFormatARGB or kTextureFormatXRGB
    unsigned bytesPerPixel;  // of the decoded pixels: 4 or 3
    // Rows top down, width x bytesPerPixel bytes each, no gaps; R G B [A],
    // or B G R [A] for a device that asks for blue first (a 4-byte pixel
    // then reads as 0xAARRGGBB, little-endian). Freed once uploaded unless
    // the device keeps drawing from them.
    unsigned char* pixels;
    unsigned imageWidth;     // the image's own size
    unsigned imageHeight;
    unsigned kind;           // kTextureKindColour or kTextureKindAlpha
};

// Fills the padding of a decoded texture whose image occupies the top-left
// imageWidth x imageHeight texels: every texel right of the image repeats
// its row's last pixel, every row below repeats the last image row, so
// linear filtering at the image's edges never blends in undefined texels.
void PadTexturePixels(unsigned char* pixels, unsigned width, unsigned height, unsigned imageWidth,
                      unsigned imageHeight, unsigned bytesPerPixel);
