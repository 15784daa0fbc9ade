// Lite textures: the decoded image kept in memory as B G R A words for the
// blitter; images without alpha get 255 in every fourth byte, so that they
// copy straight onto a 32-bit surface.
#include <cstdlib>
#include <new>

#include "render_device.h"
#include "renderer_ddraw.h"
#include "texture.h"

bool DeviceCreateTexture(Texture* t) {
    if (!t || !t->pixels || t->width == 0 || t->height == 0) return false;
    if (t->bytesPerPixel != 3 && t->bytesPerPixel != 4) return false;
    if (t->width > kMaxImageSide || t->height > kMaxImageSide) return false;
    LiteImage* image = new (std::nothrow) LiteImage();
    if (!image) return false;
    const size_t count = (size_t)t->width * t->height;
    image->pixels = static_cast<uint32_t*>(std::malloc(count * 4));
    if (!image->pixels) {
        delete image;
        return false;
    }
    const bool alpha = t->bytesPerPixel == 4 && t->pixelFormat == kTextureFormatARGB;
    const unsigned char* src = t->pixels;
    for (size_t i = 0; i < count; ++i, src += t->bytesPerPixel) {
        uint32_t a = alpha ? src[3] : 255u;
        image->pixels[i] = (a << 24) | ((uint32_t)src[0] << 16) | ((uint32_t)src[1] << 8) | src[2];
    }
    image->image.width = t->width;
    image->image.height = t->height;
    image->image.hasAlpha = alpha;
    image->image.pixels = image->pixels;
    if (alpha) {
        try {
            MakeSpriteRuns(image->pixels, t->width, t->height, image->rowStart, image->runs);
            image->image.rowStart = image->rowStart.data();
            image->image.runs = image->runs.data();
        } catch (const std::bad_alloc&) {
            image->rowStart.clear();  // drawn pair by pair instead
            image->runs.clear();
        }
    }
    t->deviceTexture = image;
    return true;
}

void DeviceReleaseTexture(Texture* t) {
    if (!t || !t->deviceTexture) return;
    LiteImage* image = static_cast<LiteImage*>(t->deviceTexture);
    std::free(image->pixels);
    std::free(image->pixels565);
    delete image;
    t->deviceTexture = nullptr;
}
