// Mesh vertex buffers and drawing through Direct3D 9: positions on stream
// 0, texture coordinates on stream 1, the renderer's one colour (the global
// alpha) on stream 2 with stride 0.
#include <cstring>

#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_d3d9.h"
#include "texture.h"

void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount) {
    IDirect3DDevice9* device = GetD3DDevice();
    if (!device || !data || floatCount == 0 || floatCount > 0x3FFFFFFFu) return nullptr;
    UINT bytes = floatCount * sizeof(float);
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr)) ||
        !buffer)
        return nullptr;
    void* target = nullptr;
    if (FAILED(buffer->Lock(0, 0, &target, 0)) || !target) {
        buffer->Release();
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    buffer->Unlock();
    return buffer;
}

void DeviceReleaseVertexBuffer(void* buffer) {
    if (buffer) static_cast<IDirect3DVertexBuffer9*>(buffer)->Release();
}

namespace {

// {6A4C1E52-8F0B-4D7E-9C3A-51B2E7D40A19}: our twin of the colour buffer,
// kept as private data of the renderer's buffer so it goes with it.
const GUID kColourTwin = {0x6a4c1e52, 0x8f0b, 0x4d7e, {0x9c, 0x3a, 0x51, 0xb2, 0xe7, 0xd4, 0x0a, 0x19}};

IDirect3DVertexBuffer9* s_boundFor = nullptr;  // the renderer buffer the state below is about
DWORD s_boundColour = 0;
bool s_boundTwin = false;

IDirect3DVertexBuffer9* Twin(IDirect3DVertexBuffer9* colour) {
    IUnknown* twin = nullptr;
    DWORD size = sizeof(twin);
    if (SUCCEEDED(colour->GetPrivateData(kColourTwin, &twin, &size)) && twin) {
        twin->Release();  // the private data keeps it alive
        return static_cast<IDirect3DVertexBuffer9*>(twin);
    }
    IDirect3DDevice9* device = GetD3DDevice();
    IDirect3DVertexBuffer9* made = nullptr;
    if (!device || FAILED(device->CreateVertexBuffer(8, D3DUSAGE_WRITEONLY, D3DFVF_DIFFUSE, D3DPOOL_MANAGED,
                                                     &made, nullptr)))
        return nullptr;
    // With D3DSPD_IUNKNOWN the data argument is the interface itself.
    HRESULT stored = colour->SetPrivateData(kColourTwin, made, sizeof(IUnknown*), D3DSPD_IUNKNOWN);
    made->Release();  // owned by the private data from here on
    return SUCCEEDED(stored) ? made : nullptr;
}

// The buffer to bind as stream 2. The renderer rewrites its one colour in
// place when the global alpha changes, but a device may read a stride-0
// stream only when the stream is bound (Wine's does): rebinding the same
// buffer changes nothing, so it would go on drawing with the old alpha.
// When the colour changed since our last draw we therefore switch between
// the renderer's buffer and a twin that holds the same colour; the switch
// is a real change of stream, and the device reads the colour again.
IDirect3DVertexBuffer9* ColourStream(IDirect3DVertexBuffer9* colour) {
    DWORD value = 0;
    void* data = nullptr;
    if (FAILED(colour->Lock(0, 4, &data, D3DLOCK_READONLY)) || !data) return colour;
    std::memcpy(&value, data, 4);
    colour->Unlock();
    if (s_boundFor != colour) {
        s_boundFor = colour;
        s_boundColour = value;
        s_boundTwin = false;
        return colour;
    }
    if (value != s_boundColour) {
        s_boundColour = value;
        s_boundTwin = !s_boundTwin;
    }
    if (!s_boundTwin) return colour;
    IDirect3DVertexBuffer9* twin = Twin(colour);
    if (!twin || FAILED(twin->Lock(0, 4, &data, 0)) || !data) {
        s_boundTwin = false;
        return colour;
    }
    std::memcpy(data, &value, 4);
    twin->Unlock();
    return twin;
}

} // namespace

void Mesh::Draw(Texture* texture) const {
    Texture* t = texture ? texture : defaultTexture;
    IDirect3DDevice9* device = GetD3DDevice();
    const RendererDevice* rd = g_renderer.device;
    if (!t || !t->deviceTexture || !device || !rd || !rd->declaration || !rd->colour) return;
    if (!positionBuffer || !texCoordBuffer || vertexCount == 0 || g_renderer.StackDepth() == 0) return;

    device->SetTexture(0, static_cast<IDirect3DTexture9*>(t->deviceTexture));
    device->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(g_renderer.Top().m));
    D3DMATRIX scale;
    std::memset(&scale, 0, sizeof(scale));
    scale._11 = t->uScale;
    scale._22 = t->vScale;
    scale._33 = 1.0f;
    scale._44 = 1.0f;
    device->SetTransform(D3DTS_TEXTURE0, &scale);
    device->SetStreamSource(0, static_cast<IDirect3DVertexBuffer9*>(positionBuffer), 0, 12);
    device->SetStreamSource(1, static_cast<IDirect3DVertexBuffer9*>(texCoordBuffer), 0, 8);
    device->SetStreamSource(2, ColourStream(rd->colour), 0, 0);
    device->SetVertexDeclaration(rd->declaration);
    if (primitiveMode == kMeshTriangleList) {
        if (vertexCount >= 3) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount / 3);
    } else if (primitiveMode == kMeshQuads) {
        // Only whole quads: a fan never reads past the buffers.
        for (unsigned start = 0; start + 4 <= vertexCount; start += 4)
            device->DrawPrimitive(D3DPT_TRIANGLEFAN, start, 2);
    }
}
