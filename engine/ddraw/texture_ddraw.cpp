// Lite textures: the decoded image at its own size, B G R [A], kept with
// the texture and drawn from directly by the blitter. A 4-byte pixel is
// the blitter's B G R A word as it stands; an image without alpha stays at
// 3 bytes a pixel and is widened row by row as it is drawn. Beside it the
// device keeps only what speeds drawing up: the runs of an image with
// alpha, and an RGB565 copy once it is drawn onto a 16-bit surface.
#include <cstdint>
#include <cstdlib>
#include <new>

#include "render_device.h"
#include "renderer_ddraw.h"
#include "texture.h"

TextureLayout DeviceTextureLayout() { return TextureLayout{false, true, true}; }

bool DeviceCreateTexture(Texture* t) {
    if (!t || !t->pixels || t->width == 0 || t->height == 0) return false;
    if (t->width > kMaxImageSide || t->height > kMaxImageSide) return false;
    const bool alpha = t->kind == kTextureKindAlpha;
    if (t->bytesPerPixel != (alpha ? 4u : 3u) || (t->kind != kTextureKindColour && !alpha)) return false;
    // The words are read in place: the buffer must be word-aligned (heap
    // blocks are).
    if (alpha && reinterpret_cast<uintptr_t>(t->pixels) % 4 != 0) return false;
    LiteImage* image = new (std::nothrow) LiteImage();
    if (!image) return false;
    image->image.width = t->width;
    image->image.height = t->height;
    image->image.hasAlpha = alpha;
    if (alpha) {
        const uint32_t* words = reinterpret_cast<const uint32_t*>(t->pixels);
        image->image.pixels = words;
        try {
            MakeSpriteRuns(words, t->width, t->height, image->rowStart, image->runs);
            image->image.rowStart = image->rowStart.data();
            image->image.runs = image->runs.data();
        } catch (const std::bad_alloc&) {
            image->rowStart.clear();  // drawn pair by pair instead
            image->runs.clear();
        }
    } else {
        image->image.pixels24 = t->pixels;
    }
    t->deviceTexture = image;
    return true;
}

void DeviceReleaseTexture(Texture* t) {
    if (!t || !t->deviceTexture) return;
    LiteImage* image = static_cast<LiteImage*>(t->deviceTexture);
    std::free(image->pixels565);
    delete image;
    t->deviceTexture = nullptr;
}
