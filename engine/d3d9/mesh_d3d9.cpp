// Mesh vertex buffers and drawing through Direct3D 9: positions on stream
// 0, texture coordinates on stream 1; the global alpha is the texture
// factor (renderer_d3d9.cpp). Each buffer is written once, when the mesh is
// made; a draw sets only the state that differs from the previous draw.
// Small meshes drawn inside a batch (the frame's GUI, every string) are
// placed on the CPU and drawn together while they share a texture: one
// draw for a row of buttons or a string instead of one a piece.
#include <cstdlib>
#include <cstring>
#include <new>

#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_d3d9.h"
#include "texture.h"

namespace {

// The handle behind Mesh::positionBuffer and Mesh::texCoordBuffer. Small
// buffers (a glyph's quad) keep a copy of their floats for the batch.
struct VertexData {
    IDirect3DVertexBuffer9* buffer;
    unsigned floatCount;
    float* copy;  // null for large buffers
};

const unsigned kCopiedFloats = 64;

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void BindTexture(RendererDevice* d, Texture* t) {
    IDirect3DBaseTexture9* tex = static_cast<IDirect3DTexture9*>(t->deviceTexture);
    if (tex != d->boundTexture) {
        d->device->SetTexture(0, tex);
        d->boundTexture = tex;
    }
    // Only the image's part of the padded texture is addressed.
    if (t->uScale != d->boundUScale || t->vScale != d->boundVScale) {
        D3DMATRIX scale;
        std::memset(&scale, 0, sizeof(scale));
        scale._11 = t->uScale;
        scale._22 = t->vScale;
        scale._33 = 1.0f;
        scale._44 = 1.0f;
        d->device->SetTransform(D3DTS_TEXTURE0, &scale);
        d->boundUScale = t->uScale;
        d->boundVScale = t->vScale;
    }
}

void BindWorld(RendererDevice* d, const float* world) {
    if (d->worldKnown && std::memcmp(world, d->boundWorld, sizeof(d->boundWorld)) == 0) return;
    d->device->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(world));
    std::memcpy(d->boundWorld, world, sizeof(d->boundWorld));
    d->worldKnown = true;
}

// Gathers a small mesh into the batch, placed in the view on the CPU: the
// whole quads of a quad mesh (each a fan of two triangles) or the whole
// triangles of a triangle list. false when it cannot (a large mesh keeps
// no copy of its floats), and the mesh is then drawn on its own.
bool Gather(RendererDevice* d, const Mesh& mesh, Texture* t) {
    const VertexData* pos = static_cast<const VertexData*>(mesh.positionBuffer);
    const VertexData* uv = static_cast<const VertexData*>(mesh.texCoordBuffer);
    if (!pos->copy || !uv->copy) return false;
    unsigned count = mesh.vertexCount;
    if (count > pos->floatCount / 3) count = pos->floatCount / 3;
    if (count > uv->floatCount / 2) count = uv->floatCount / 2;
    static const unsigned kFan[6] = {0, 1, 2, 0, 2, 3};
    const bool quads = mesh.primitiveMode == kMeshQuads;
    const unsigned groups = quads ? count / 4 : count / 3;  // quads or triangles
    const unsigned perGroup = quads ? 6 : 3;
    if (groups == 0) return true;
    const unsigned vertices = groups * perGroup;
    if (vertices > RendererDevice::kBatchQuads * 6) return false;
    if (d->batchTexture != t || d->batchVertices + vertices > RendererDevice::kBatchQuads * 6) {
        FlushD3DBatch(d);
        d->batchTexture = t;
    }
    const float* m = g_renderer.Top().m;
    float* out = d->batch + d->batchVertices * 5;
    for (unsigned g = 0; g < groups; ++g) {
        for (unsigned k = 0; k < perGroup; ++k) {
            const unsigned v = quads ? g * 4 + kFan[k] : g * 3 + k;
            const float* p = pos->copy + v * 3;
            for (int c = 0; c < 3; ++c) out[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
            out[3] = uv->copy[v * 2];
            out[4] = uv->copy[v * 2 + 1];
            out += 5;
        }
    }
    d->batchVertices += vertices;
    return true;
}

} // namespace

void FlushD3DBatch(RendererDevice* d) {
    if (!d || !d->device || d->batchVertices == 0) {
        if (d) d->batchVertices = 0;
        return;
    }
    if (d->batchTexture && d->batchTexture->deviceTexture) {
        BindTexture(d, d->batchTexture);
        BindWorld(d, kIdentity);
        d->device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        d->declarationBound = false;
        d->device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, d->batchVertices / 3, d->batch, 5 * sizeof(float));
        // Drawing from memory leaves stream 0 unbound.
        d->boundPositions = nullptr;
    }
    d->batchVertices = 0;
}

IDirect3DVertexBuffer9* D3DVertexBufferOf(void* handle) {
    return handle ? static_cast<VertexData*>(handle)->buffer : nullptr;
}

void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount) {
    IDirect3DDevice9* device = GetD3DDevice();
    if (!device || !data || floatCount == 0 || floatCount > 0x3FFFFFFFu) return nullptr;
    UINT bytes = floatCount * sizeof(float);
    VertexData* handle = new (std::nothrow) VertexData{nullptr, floatCount, nullptr};
    if (!handle) return nullptr;
    if (floatCount <= kCopiedFloats) {
        handle->copy = static_cast<float*>(std::malloc(bytes));
        if (!handle->copy) {
            delete handle;
            return nullptr;
        }
        std::memcpy(handle->copy, data, bytes);
    }
    IDirect3DVertexBuffer9* buffer = nullptr;
    void* target = nullptr;
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr)) ||
        !buffer || FAILED(buffer->Lock(0, 0, &target, 0)) || !target) {
        if (buffer) buffer->Release();
        std::free(handle->copy);
        delete handle;
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    buffer->Unlock();
    handle->buffer = buffer;
    return handle;
}

void DeviceReleaseVertexBuffer(void* opaque) {
    if (!opaque) return;
    VertexData* handle = static_cast<VertexData*>(opaque);
    // A new buffer may come back at the same address: never take it for
    // the one the device still has bound.
    if (RendererDevice* d = GetD3DState()) {
        if (d->boundPositions == handle->buffer || d->boundTexCoords == handle->buffer) {
            d->device->SetStreamSource(0, nullptr, 0, 0);
            d->device->SetStreamSource(1, nullptr, 0, 0);
            d->boundPositions = d->boundTexCoords = nullptr;
        }
    }
    handle->buffer->Release();
    std::free(handle->copy);
    delete handle;
}

void Mesh::Draw(Texture* texture) const {
    Texture* t = texture ? texture : defaultTexture;
    RendererDevice* d = GetD3DState();
    if (!t || !t->deviceTexture || !d || !d->declaration) return;
    if (!positionBuffer || !texCoordBuffer || vertexCount == 0 || g_renderer.StackDepth() == 0) return;
    if (d->batching && (primitiveMode == kMeshQuads || primitiveMode == kMeshTriangleList) && Gather(d, *this, t))
        return;
    FlushD3DBatch(d);
    IDirect3DDevice9* device = d->device;

    const VertexData* pos = static_cast<const VertexData*>(positionBuffer);
    const VertexData* uv = static_cast<const VertexData*>(texCoordBuffer);
    // Never more vertices than either buffer holds.
    unsigned count = vertexCount;
    if (count > pos->floatCount / 3) count = pos->floatCount / 3;
    if (count > uv->floatCount / 2) count = uv->floatCount / 2;

    BindTexture(d, t);
    BindWorld(d, g_renderer.Top().m);
    if (pos->buffer != d->boundPositions) {
        device->SetStreamSource(0, pos->buffer, 0, 12);
        d->boundPositions = pos->buffer;
    }
    if (uv->buffer != d->boundTexCoords) {
        device->SetStreamSource(1, uv->buffer, 0, 8);
        d->boundTexCoords = uv->buffer;
    }
    if (!d->declarationBound) {
        device->SetVertexDeclaration(d->declaration);
        d->declarationBound = true;
    }
    if (primitiveMode == kMeshTriangleList) {
        if (count >= 3) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, count / 3);
    } else if (primitiveMode == kMeshQuads) {
        // Only whole quads: a fan never reads past the buffers.
        for (unsigned start = 0; start + 4 <= count; start += 4) device->DrawPrimitive(D3DPT_TRIANGLEFAN, start, 2);
    }
}
