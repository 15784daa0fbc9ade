// The renderer's device half on DirectDraw, for the Lite edition: a normal
// cooperative level on the game window, the back surface drawn by the
// software blitter and presented with one blit to the client area.
#include "renderer_ddraw.h"

#include <cstring>

#include "renderer.h"

static RendererDevice s_device;

RendererDevice* GetDDrawState() { return g_renderer.device ? g_renderer.device : nullptr; }

bool Renderer::DrawsOneToOne() const { return true; }

// The sprite tool makes every picture for an 800 x 600 client area: 300
// pixels to a view unit. Drawn 1:1 on another client size, a picture
// covers more or fewer view units than its box says.
static const float kPicturePixelsPerUnit = 300.0f;

Vector3 Renderer::PictureBoxScale() const {
    // No client area yet (or a minimised window): the size they were made for.
    if (clientWidth == 0 || clientHeight == 0 || !(viewSize.x > 0.0f) || !(viewSize.y > 0.0f))
        return Vector3{1.0f, 1.0f, 1.0f};
    const float w = (float)clientWidth, h = (float)clientHeight;
    return Vector3{kPicturePixelsPerUnit * viewSize.x / w, kPicturePixelsPerUnit * viewSize.y / h, 1.0f};
}

const char* Renderer::DeviceName() const { return "DDRAW"; }

const char* Renderer::FrameRateFormat() const {
    return "DDRAW FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms";
}

unsigned DrawableBytesPerPixel(const DDPIXELFORMAT& f) {
    if (!(f.dwFlags & DDPF_RGB)) return 0;
    if (f.dwRGBBitCount == 32 && f.dwRBitMask == 0xFF0000 && f.dwGBitMask == 0xFF00 && f.dwBBitMask == 0xFF)
        return 4;
    if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0xF800 && f.dwGBitMask == 0x07E0 && f.dwBBitMask == 0x001F)
        return 2;
    return 0;
}

template <typename T>
static void ReleaseOf(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The surfaces and the clipper go together: nothing of a former pair is
// kept when a new one is made.
static void ReleaseSurfaces(RendererDevice& d) {
    if (d.back && d.surface.pixels) d.back->Unlock(nullptr);
    d.surface = SurfaceInfo();
    if (d.primary) d.primary->SetClipper(nullptr);
    ReleaseOf(d.clipper);
    ReleaseOf(d.back);
    ReleaseOf(d.primary);
    d.backWidth = d.backHeight = 0;
    d.bytesPerPixel = 0;
}

// Makes the primary surface, the back surface for the client size and the
// clipper; false with the error text set at the first failure (what was
// made stays until the next attempt or the shutdown, but never draws).
static bool CreateSurfaces(RendererDevice& d, HWND window, unsigned width, unsigned height, char* error,
                           size_t errorSize) {
    ReleaseSurfaces(d);
    if (!d.ddraw) return false;
    auto fail = [&](const char* text) {
        std::strncpy(error, text, errorSize - 1);
        error[errorSize - 1] = 0;
        ReleaseOf(d.back);  // a half-made pair never draws
        return false;
    };
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(d.ddraw->CreateSurface(&desc, &d.primary, nullptr)) || !d.primary) {
        d.primary = nullptr;
        return fail("Can't create primary surface!");
    }
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(format);
    if (FAILED(d.primary->GetPixelFormat(&format))) return fail("Can't create back surface!");
    unsigned bpp = DrawableBytesPerPixel(format);
    if (bpp == 0) return fail("The display must be set to 16-bit (RGB565) or 32-bit colour.");
    // A minimised window has no client area: no back surface until it has.
    if (width == 0 || height == 0) return fail("Can't create back surface!");

    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = format;
    if (FAILED(d.ddraw->CreateSurface(&desc, &d.back, nullptr)) || !d.back) {
        d.back = nullptr;
        return fail("Can't create back surface!");
    }
    if (FAILED(d.ddraw->CreateClipper(0, &d.clipper, nullptr)) || !d.clipper) {
        d.clipper = nullptr;
        return fail("Can't create clipper!");
    }
    if (FAILED(d.clipper->SetHWnd(0, window))) return fail("Can't associate clipper with window!");
    if (FAILED(d.primary->SetClipper(d.clipper))) return fail("Can't attach clipper!");

    // Start from black: the frames draw over what the last one left.
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (FAILED(d.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)) || !desc.lpSurface)
        return fail("Can't lock back surface!");
    for (unsigned y = 0; y < height; ++y)
        std::memset(static_cast<unsigned char*>(desc.lpSurface) + (size_t)y * desc.lPitch, 0, (size_t)width * bpp);
    if (FAILED(d.back->Unlock(nullptr))) return fail("Can't unlock back surface!");
    d.backWidth = width;
    d.backHeight = height;
    d.bytesPerPixel = bpp;
    return true;
}

bool Renderer::DeviceInit(bool) {
    RendererDevice& d = s_device;
    device = &s_device;
    if (!d.ddraw && FAILED(DirectDrawCreate(nullptr, &d.ddraw, nullptr))) {
        d.ddraw = nullptr;
        SetError("Failed to create DirectDraw");
        return false;
    }
    if (FAILED(d.ddraw->SetCooperativeLevel(window, DDSCL_NORMAL))) {
        SetError("Can't set DirectDraw Cooperative Level");
        return false;
    }
    d.globalAlpha = 1.0f;
    // Messages of other windows on this thread are theirs to take.
    pumpsOwnWindowOnly = window != nullptr;
    return CreateSurfaces(d, window, clientWidth, clientHeight, error, sizeof(error));
}

void Renderer::DeviceShutdown() {
    RendererDevice& d = s_device;
    ReleaseSurfaces(d);
    ReleaseOf(d.ddraw);
    device = nullptr;
}

bool Renderer::DeviceReady() const { return s_device.primary && s_device.back; }

// Nothing to reset: a lost primary surface is restored when presenting.
void Renderer::ResetDevice() {}
void Renderer::SetVerticalSync(bool) {}
// The 2D edition presents by one blit to the window: it has no swap interval.
bool Renderer::CanSetVerticalSync() const { return false; }
void Renderer::DeviceRestoreIfLost() {}

bool Renderer::DeviceBeginScene() {
    RendererDevice& d = s_device;
    if (!d.ddraw) return false;
    // The client area changed size (or a former attempt failed): new
    // surfaces for it. A failure is not reported; the frame draws nothing.
    if (!d.back || d.backWidth != clientWidth || d.backHeight != clientHeight) {
        char ignored[256];
        if (!CreateSurfaces(d, window, clientWidth, clientHeight, ignored, sizeof(ignored))) return false;
    }
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    HRESULT locked = d.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (locked == DDERR_SURFACELOST && SUCCEEDED(d.back->Restore()))
        locked = d.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(locked) || !desc.lpSurface) return false;
    d.surface.width = d.backWidth;
    d.surface.height = d.backHeight;
    d.surface.bytesPerPixel = d.bytesPerPixel;
    d.surface.pitch = (int)desc.lPitch;
    d.surface.pixels = static_cast<unsigned char*>(desc.lpSurface);
    return true;
}

void Renderer::DeviceEndScene() {
    RendererDevice& d = s_device;
    if (d.back && d.surface.pixels) d.back->Unlock(nullptr);
    d.surface.pixels = nullptr;
}

// One blit of the back surface to the client area; a lost primary surface
// is restored first, or made again with the rest when the display mode
// changed under it.
void Renderer::DevicePresent() {
    RendererDevice& d = s_device;
    if (!d.primary || !d.back || d.surface.pixels) return;
    if (d.primary->IsLost() == DDERR_SURFACELOST) {
        HRESULT restored = d.primary->Restore();
        if (restored == DDERR_WRONGMODE) {
            char ignored[256];
            if (!CreateSurfaces(d, window, clientWidth, clientHeight, ignored, sizeof(ignored))) return;
        } else if (FAILED(restored)) {
            return;
        }
    }
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT target = {0, 0, (LONG)d.backWidth, (LONG)d.backHeight};
    RECT source = target;
    OffsetRect(&target, origin.x, origin.y);
    d.primary->Blt(&target, d.back, &source, DDBLT_WAIT, nullptr);
}

// Nothing in this edition fades: the alpha is kept so that a fully faded
// picture is left out.
bool Renderer::DeviceSetGlobalAlpha(float alpha) {
    s_device.globalAlpha = alpha > 0.0f ? (alpha < 1.0f ? alpha : 1.0f) : 0.0f;
    return s_device.ddraw != nullptr;
}

// No depth and no faces in 2D: mirrored copies come out of the matrix
// (Mesh::Draw).
void Renderer::DeviceSetDepthTest(bool) {}
void Renderer::DeviceSetCullMode(CullMode) {}
// The blit to the window reads the client size each frame.
void Renderer::DeviceResize() {}
void Renderer::DeviceBeginBatch() {}
void Renderer::DeviceEndBatch() {}
