// Texture upload to Direct3D 9: one level, managed pool, so a device reset
// needs no reloading.
#include <cstring>

#include "render_device.h"
#include "renderer_d3d9.h"
#include "texture.h"

// Power-of-two textures, sampled through the u/v scale; the pixels are
// copied into the texture and then freed.
TextureLayout DeviceTextureLayout() { return TextureLayout{true, false, false}; }

bool DeviceCreateTexture(Texture* t) {
    IDirect3DDevice9* device = GetD3DDevice();
    if (!device || !t || !t->pixels || t->width == 0 || t->height == 0) return false;
    if (t->bytesPerPixel != 3 && t->bytesPerPixel != 4) return false;
    D3DFORMAT format = t->pixelFormat == kTextureFormatARGB ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(t->width, t->height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr)) ||
        !texture)
        return false;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)) || !locked.pBits) {
        texture->Release();
        return false;
    }
    const unsigned bpp = t->bytesPerPixel;
    const bool alpha = format == D3DFMT_A8R8G8B8 && bpp == 4;
    const unsigned char* src = t->pixels;
    for (unsigned y = 0; y < t->height; ++y) {
        // Rows of the locked level may be padded: follow its pitch.
        unsigned char* dst = static_cast<unsigned char*>(locked.pBits) + (size_t)y * locked.Pitch;
        for (unsigned x = 0; x < t->width; ++x, src += bpp, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = alpha ? src[3] : 0;
        }
    }
    texture->UnlockRect(0);
    t->deviceTexture = texture;
    return true;
}

void DeviceReleaseTexture(Texture* t) {
    if (!t || !t->deviceTexture) return;
    IDirect3DTexture9* texture = static_cast<IDirect3DTexture9*>(t->deviceTexture);
    // A new texture may come back at the same address: never take it for
    // the one the device still has bound.
    if (RendererDevice* d = GetD3DState()) {
        if (d->batchTexture == t) FlushD3DBatch(d);
        if (d->boundTexture == texture) {
            d->device->SetTexture(0, nullptr);
            d->boundTexture = nullptr;
        }
    }
    texture->Release();
    t->deviceTexture = nullptr;
}
