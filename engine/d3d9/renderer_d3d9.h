// Direct3D 9 state of the renderer, for the code that draws through the
// device directly (meshes and textures).
#pragma once
#include <d3d9.h>

struct RendererDevice {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS present = {};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    DWORD alphaFactor = 0xFFFFFFFF;  // the global alpha, as the texture factor

    // What the device holds now, so that a draw sets only what changed.
    // Forgotten whenever the device may have lost it (reset, new scene)
    // and when the object named here is released.
    IDirect3DBaseTexture9* boundTexture = nullptr;
    IDirect3DVertexBuffer9* boundPositions = nullptr;
    IDirect3DVertexBuffer9* boundTexCoords = nullptr;
    float boundWorld[16] = {};
    float boundUScale = -1.0f;
    float boundVScale = -1.0f;
    bool worldKnown = false;
    bool declarationBound = false;

    // Marks the end of the last presented frame: the next frame is handed
    // over only once the device has finished that one, and the game waits
    // for it asleep. (Handing frames over as they come would leave it
    // waiting inside the runtime, which may wait by spinning on the
    // processor for most of each frame.) One frame is drawn while the next
    // is made.
    IDirect3DQuery9* frameDone = nullptr;

    // Triangles gathered between BeginBatch and EndBatch: already placed
    // in the view (x, y, z, u, v a vertex), all with batchTexture.
    static const unsigned kBatchQuads = 256;
    int batching = 0;
    struct Texture* batchTexture = nullptr;
    unsigned batchVertices = 0;
    float batch[kBatchQuads * 6 * 5];

    void ForgetBindings() {
        boundTexture = nullptr;
        boundPositions = nullptr;
        boundTexCoords = nullptr;
        boundUScale = boundVScale = -1.0f;
        worldKnown = false;
        declarationBound = false;
    }
};

// Gives the frame event back (before a reset and at shutdown).
void ReleaseD3DFrameEvent(RendererDevice* d);

// Draws what the batch holds and empties it.
void FlushD3DBatch(RendererDevice* d);

// The device buffer behind a mesh's opaque buffer handle, or null.
IDirect3DVertexBuffer9* D3DVertexBufferOf(void* handle);

// The device of the global renderer, or null before Init; what the batch
// holds is drawn first.
IDirect3DDevice9* GetD3DDevice();
// The state above, or null before Init.
RendererDevice* GetD3DState();
