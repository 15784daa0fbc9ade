// Models: the meshes, clips and keys read from a model pack.
//
// Model pack layout (little-endian u32 and IEEE floats):
//   last 4 bytes        u32 offset of the directory
//   directory           u32 entry count, then 68-byte entries:
//                       char[64] part name (NUL-terminated; byte 63 == '#'
//                       marks a part whose data starts with a bounding box),
//                       u32 offset of the part's data
//   part data           [6 floats box min x, y, z, max x, y, z] u32 clip count, clips
//   clip                char[64] name, u32 frame count, u32 mesh count, meshes,
//                       u32 n + n x 3 floats position keys,
//                       u32 n + n x 4 floats rotation keys (degrees, axis),
//                       u32 n + n x 3 floats scale keys
//   mesh                u32 P [P x 3 floats, u32 T, T x 3 u16 indices]
//                       u32 U [U x 2 floats, u32 T2, T2 x 3 u16 indices]
// A mesh with P (or U) of 0 shares the positions (or texture coordinates)
// of the previous mesh of its clip.
#pragma once
#include "math3d.h"
#include "resource_manager.h"

struct Texture;

const unsigned kMeshTriangleList = 0;
const unsigned kMeshQuads = 1;  // every 4 vertices a fan of 2 triangles (glyphs)

const unsigned kMeshOwnsTexCoords = 1;  // ownership bit 0
const unsigned kMeshOwnsPositions = 2;  // ownership bit 1

const unsigned kModelPackNameSize = 64;
const unsigned kModelPackEntrySize = 68;

// One drawable frame of a clip, or one font glyph.
struct Mesh {
    Texture* defaultTexture = nullptr;  // not owned; drawn when a draw names none
    void* texCoordBuffer = nullptr;     // device buffers (opaque), 2 floats a vertex
    void* positionBuffer = nullptr;     // 3 floats a vertex
    unsigned vertexCount = 0;
    unsigned primitiveMode = kMeshTriangleList;
    unsigned ownership = 0;             // kMeshOwns* bits

    Mesh() = default;
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Owned device buffers from plain arrays of vertexCount vertices; the
    // mesh's vertex count becomes vertexCount. false when the device cannot
    // make the buffer (the mesh then draws nothing).
    bool SetPositions(const float* xyz, unsigned vertexCount);
    bool SetTexCoords(const float* uv, unsigned vertexCount);
    // Gives back the owned buffers; the mesh then draws nothing.
    void ReleaseBuffers();

    // Draws with texture, or the default texture when texture is null, on
    // the top of the renderer's matrix stack. Device-specific.
    void Draw(Texture* texture) const;
};

struct MeshArray {
    Mesh* items = nullptr;
    unsigned count = 0;
};

struct ModelClip {
    char* name = nullptr;
    MeshArray meshes;
    Vector3* positionKeys = nullptr;
    unsigned positionKeyCount = 0;
    Rotation* rotationKeys = nullptr;
    unsigned rotationKeyCount = 0;
    Vector3* scaleKeys = nullptr;
    unsigned scaleKeyCount = 0;
    unsigned frameCount = 0;

    ModelClip() = default;
    ~ModelClip();
    ModelClip(const ModelClip&) = delete;
    ModelClip& operator=(const ModelClip&) = delete;

    // Frame n (each list clamped to its last entry) on the current matrix.
    // The key's rotation and scale act about the local point -(px, py, pz):
    // ModelInstance passes (position - pivot) / scale, which is its pivot.
    void DrawFrame(unsigned n, Texture* texture, float px, float py, float pz) const;
};

struct ClipArray {
    ModelClip* items = nullptr;
    unsigned count = 0;
};

struct Model : Resource {
    float* box = nullptr;  // 6 floats (min x, y, z, max x, y, z) or null
    ClipArray clips;

    Model() = default;
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // The first clip of exactly this name; unnamed clips never match.
    ModelClip* FindClip(const char* name) const;
};
