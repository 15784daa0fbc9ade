// DirectDraw state of the Lite edition's renderer: a primary surface with a
// clipper bound to the game window and a back surface in system memory in
// the primary's pixel format. The back surface is locked while a frame
// draws (Renderer::DeviceBeginScene to DeviceEndScene) and its memory is
// the blitter's destination only then.
#pragma once
#include <windows.h>

#include <ddraw.h>

#include "blitter.h"

struct RendererDevice {
    IDirectDraw* ddraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    unsigned backWidth = 0;   // the size the surfaces were made for
    unsigned backHeight = 0;
    unsigned bytesPerPixel = 0;  // of the back surface: 2 (RGB565) or 4
    SurfaceInfo surface;         // pixels non-null only while locked
    float globalAlpha = 1.0f;
};

// The state above, or null before Init.
RendererDevice* GetDDrawState();

// Whether a surface of this pixel format can be drawn: 32 bits with 8-bit
// channels (X8R8G8B8) or 16 bits as RGB565. 0 when not, else bytes a pixel.
unsigned DrawableBytesPerPixel(const DDPIXELFORMAT& format);

// The image behind a Lite texture's device handle. It draws from the
// texture's own pixels (B G R A words, or B G R bytes for an image without
// alpha); what it owns is only what speeds the blitter up.
struct LiteImage {
    SpriteImage image;
    uint16_t* pixels565 = nullptr;  // made when first drawn onto RGB565
    std::vector<uint32_t> rowStart;  // the runs of an image with alpha
    std::vector<uint32_t> runs;
};
