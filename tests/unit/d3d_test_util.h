// Reading back what the Direct3D 9 device drew, for the device tests.
#pragma once
#include <functional>
#include <vector>

#include "device_test_util.h"
#include "renderer_d3d9.h"

// The back buffer after one scene, as 0x??RRGGBB words, top row first.
struct D3DPicture {
    std::vector<unsigned> pixels;
    unsigned w = 0, h = 0;
    // The pixel under a point in view units (0xDEAD when nothing was read).
    unsigned At(float x, float y) const {
        if (pixels.empty()) return 0xDEAD;
        int px = (int)((x / kTestView.x + 0.5f) * w);
        int py = (int)((0.5f - y / kTestView.y) * h);
        return pixels[(size_t)py * w + px] & 0xFFFFFF;
    }
};

// Clears (the depth buffer too when asked), runs draw() inside a scene and
// reads the render target back.
inline D3DPicture RenderD3D(const std::function<void()>& draw, bool clearDepth = true) {
    D3DPicture pic;
    IDirect3DDevice9* dev = GetD3DDevice();
    if (!dev) return pic;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | (clearDepth ? D3DCLEAR_ZBUFFER : 0), 0xFF000000, 1.0f, 0);
    if (SUCCEEDED(dev->BeginScene())) {
        draw();
        dev->EndScene();
    }
    IDirect3DSurface9 *target = nullptr, *copy = nullptr;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(dev->GetRenderTarget(0, &target)) && SUCCEEDED(target->GetDesc(&desc)) &&
        SUCCEEDED(dev->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr)) &&
        SUCCEEDED(dev->GetRenderTargetData(target, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pic.w = desc.Width;
        pic.h = desc.Height;
        for (unsigned y = 0; y < pic.h; ++y) {
            const unsigned* row = reinterpret_cast<const unsigned*>((const char*)locked.pBits + y * locked.Pitch);
            pic.pixels.insert(pic.pixels.end(), row, row + pic.w);
        }
        copy->UnlockRect();
    }
    if (copy) copy->Release();
    if (target) target->Release();
    return pic;
}
