// Skinned characters through Direct3D 9: the skinned vertices change every
// frame, so each skin is drawn from memory (interleaved here) rather than
// from device buffers, with the depth handling of the character scenes.
// Characters are opaque: their vertex colours carry the alpha, as in the
// OpenGL build (and reading the renderer's colour back would stall).
#include <cstring>
#include <vector>

#include "renderer.h"
#include "renderer_d3d9.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

struct SkinVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
const DWORD kSkinFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

std::vector<SkinVertex> s_vertices;
std::vector<WORD> s_indices;

BYTE Channel(float f) {
    if (!(f > 0.0f)) return 0;
    return f >= 1.0f ? 255 : (BYTE)(f * 255.0f + 0.5f);
}

} // namespace

void DeviceBeginDepthScene() {
    IDirect3DDevice9* dev = GetD3DDevice();
    if (!dev) return;
    // Each avatar stands in a depth of its own: nothing of an earlier scene
    // (or frame) hides it.
    dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

void DeviceRestoreAlphaTest() {
    if (IDirect3DDevice9* dev = GetD3DDevice()) dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
}

void DeviceEndDepthScene() {
    IDirect3DDevice9* dev = GetD3DDevice();
    if (!dev) return;
    dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
}

void DeviceDrawSkin(const Skin* skin, Texture* texture) {
    IDirect3DDevice9* dev = GetD3DDevice();
    if (!dev || !skin || !skin->workPositions || skin->vertexCount < 3 || g_renderer.StackDepth() == 0) return;
    // Indices into 16 bits; a skin beyond that is not ours to draw.
    if (skin->vertexCount > 0xFFFF) return;
    const uint32_t v = skin->vertexCount;
    uint32_t n = skin->indices ? skin->indexCount - skin->indexCount % 3 : v - v % 3;
    if (n == 0) return;

    s_vertices.resize(v);
    for (uint32_t i = 0; i < v; ++i) {
        SkinVertex& out = s_vertices[i];
        out.x = skin->workPositions[i * 3];
        out.y = skin->workPositions[i * 3 + 1];
        out.z = skin->workPositions[i * 3 + 2];
        if (skin->colours) {
            const float* c = skin->colours + i * 4;
            out.colour = D3DCOLOR_ARGB(Channel(c[3]), Channel(c[0]), Channel(c[1]), Channel(c[2]));
        } else {
            out.colour = D3DCOLOR_ARGB(255, 255, 255, 255);
        }
        out.u = skin->texCoords ? skin->texCoords[i * 2] : 0.0f;
        out.v = skin->texCoords ? skin->texCoords[i * 2 + 1] : 0.0f;
    }
    s_indices.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t index = skin->indices ? skin->indices[i] : i;
        s_indices[i] = (WORD)(index < v ? index : 0);
    }

    dev->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(g_renderer.Top().m));
    bool textured = texture && texture->deviceTexture;
    D3DMATRIX scale;
    std::memset(&scale, 0, sizeof(scale));
    scale._11 = textured ? texture->uScale : 1.0f;
    scale._22 = textured ? texture->vScale : 1.0f;
    scale._33 = scale._44 = 1.0f;
    dev->SetTransform(D3DTS_TEXTURE0, &scale);
    dev->SetTexture(0, textured ? static_cast<IDirect3DTexture9*>(texture->deviceTexture) : nullptr);
    // The texture lit by the vertex colours, smoothly across each face.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, textured ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, textured ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    dev->SetFVF(kSkinFvf);
    dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, v, n / 3, s_indices.data(), D3DFMT_INDEX16,
                                s_vertices.data(), sizeof(SkinVertex));
    // Back to the GUI's settings: the global alpha as the texture factor,
    // and nothing of the mesh bindings taken for granted.
    dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    if (RendererDevice* rd = g_renderer.device) {
        rd->ForgetBindings();
        if (rd->declaration) dev->SetVertexDeclaration(rd->declaration);
    }
}
