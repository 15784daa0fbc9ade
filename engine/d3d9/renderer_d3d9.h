// Direct3D 9 state of the renderer, for the code that draws through the
// device directly (meshes, characters, depth-switching scene controls).
#pragma once
#include <d3d9.h>

struct RendererDevice {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS present = {};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    IDirect3DVertexBuffer9* colour = nullptr;
};

// The device of the global renderer, or null before Init.
IDirect3DDevice9* GetD3DDevice();
