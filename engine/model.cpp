// Model packs: reading, clips and frames. The geometry goes to the device
// through render_device.h; everything here is device-independent.
#include "model.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "file_system.h"
#include "render_device.h"
#include "renderer.h"
#include "strings.h"

// ---- Mesh, clip, model ----

Mesh::~Mesh() { ReleaseBuffers(); }

void Mesh::ReleaseBuffers() {
    if (ownership & kMeshOwnsPositions) DeviceReleaseVertexBuffer(positionBuffer);
    if (ownership & kMeshOwnsTexCoords) DeviceReleaseVertexBuffer(texCoordBuffer);
    positionBuffer = texCoordBuffer = nullptr;
    ownership = 0;
    vertexCount = 0;
}

// SetPositions and SetTexCoords: buffer, the mesh's buffer with ownership
// bit own, becomes an owned buffer of count vertices of size floats each;
// the one the mesh owned there is freed first.
static bool ReplaceBuffer(Mesh& mesh, void*& buffer, unsigned own, const float* data, unsigned count,
                          unsigned size) {
    if (mesh.ownership & own) DeviceReleaseVertexBuffer(buffer);
    mesh.ownership &= ~own;
    buffer = data && count ? DeviceCreateVertexBuffer(data, count * size) : nullptr;
    if (buffer) mesh.ownership |= own;
    mesh.vertexCount = buffer ? count : 0;
    return buffer != nullptr;
}

bool Mesh::SetPositions(const float* xyz, unsigned count) {
    return ReplaceBuffer(*this, positionBuffer, kMeshOwnsPositions, xyz, count, 3);
}

bool Mesh::SetTexCoords(const float* uv, unsigned count) {
    return ReplaceBuffer(*this, texCoordBuffer, kMeshOwnsTexCoords, uv, count, 2);
}

ModelClip::~ModelClip() {
    SetString(name, nullptr);
    // A mesh that borrows a buffer owns nothing of it, so the order of
    // destruction does not matter.
    delete[] meshes.items;
    delete[] positionKeys;
    delete[] rotationKeys;
    delete[] scaleKeys;
}

static unsigned Clamp(unsigned n, unsigned count) { return n < count ? n : count - 1; }

void ModelClip::DrawFrame(unsigned n, Texture* texture, float px, float py, float pz) const {
    // A clip without a mesh has nothing to show; missing keys are neutral.
    if (meshes.count == 0 || !meshes.items) return;
    Vector3 p = positionKeyCount ? positionKeys[Clamp(n, positionKeyCount)] : Vector3{0.0f, 0.0f, 0.0f};
    Rotation r = rotationKeyCount ? rotationKeys[Clamp(n, rotationKeyCount)] : Rotation{0.0f, {0.0f, 0.0f, 1.0f}};
    Vector3 s = scaleKeyCount ? scaleKeys[Clamp(n, scaleKeyCount)] : Vector3{1.0f, 1.0f, 1.0f};
    g_renderer.Translate(p.x, p.y, p.z);
    g_renderer.Translate(-px, -py, -pz);
    g_renderer.Rotate(r.angle, r.axis.x, r.axis.y, r.axis.z);
    g_renderer.Translate(px, py, pz);
    g_renderer.Translate(-px, -py, -pz);
    g_renderer.Scale(s.x, s.y, s.z);
    g_renderer.Translate(px, py, pz);
    meshes.items[Clamp(n, meshes.count)].Draw(texture);
}

Model::~Model() {
    delete[] box;
    delete[] clips.items;
}

ModelClip* Model::FindClip(const char* clipName) const {
    if (!clipName) return nullptr;
    for (unsigned i = 0; i < clips.count; ++i)
        if (clips.items[i].name && StringEquals(clips.items[i].name, clipName)) return &clips.items[i];
    return nullptr;
}

// ---- Reading a pack ----

namespace {

// Packs larger than this are taken for garbage.
const long kMaxPackSize = 64L * 1024 * 1024;
// The smallest clip and mesh records, to bound counts by the bytes left.
const size_t kMinClipSize = kModelPackNameSize + 5 * 4;
const size_t kMinMeshSize = 2 * 4;

// Every read is checked against the end of the data; the first failure
// sticks, so a parse can run on and test once.
class PackReader {
public:
    PackReader(const unsigned char* d, size_t n) : data(d), size(n) {}
    bool Ok() const { return ok; }
    size_t Left() const { return ok ? size - pos : 0; }
    bool Seek(size_t at) {
        if (at > size) return ok = false;
        pos = at;
        return ok;
    }
    bool Bytes(void* out, size_t n) {
        if (!ok || n > size - pos) return ok = false;
        std::memcpy(out, data + pos, n);
        pos += n;
        return true;
    }
    bool U32(unsigned& v) {
        unsigned char b[4];
        if (!Bytes(b, 4)) return false;
        v = (unsigned)b[0] | ((unsigned)b[1] << 8) | ((unsigned)b[2] << 16) | ((unsigned)b[3] << 24);
        return true;
    }
    bool Floats(float* out, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            unsigned bits;
            if (!U32(bits)) return false;
            std::memcpy(&out[i], &bits, 4);
        }
        return true;
    }
    // count items of itemSize bytes still fit in what is left.
    bool Fits(unsigned count, size_t itemSize) {
        if (!ok || count > Left() / itemSize) return ok = false;
        return true;
    }

private:
    const unsigned char* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;
};

// One attribute of a mesh, expanded from indexed triangles into a plain
// triangle list of width floats a vertex. The count read is 0 when the mesh
// shares the previous mesh's buffer.
bool ReadExpanded(PackReader& in, unsigned width, unsigned& countRead, std::vector<float>& out) {
    out.clear();
    if (!in.U32(countRead)) return false;
    if (countRead == 0) return true;
    if (!in.Fits(countRead, width * 4)) return false;
    std::vector<float> values((size_t)countRead * width);
    if (!in.Floats(values.data(), values.size())) return false;
    unsigned triangles;
    if (!in.U32(triangles) || !in.Fits(triangles, 6)) return false;
    out.resize((size_t)triangles * 3 * width);
    float* dst = out.data();
    for (size_t i = 0; i < (size_t)triangles * 3; ++i) {
        unsigned char b[2];
        if (!in.Bytes(b, 2)) return false;
        unsigned index = (unsigned)b[0] | ((unsigned)b[1] << 8);
        if (index >= countRead) return false;  // points outside the values
        std::memcpy(dst, &values[(size_t)index * width], width * sizeof(float));
        dst += width;
    }
    return true;
}

template <typename T>
bool ReadKeys(PackReader& in, T*& keys, unsigned& count) {
    static_assert(sizeof(T) % 4 == 0, "keys are whole floats");
    if (!in.U32(count) || !in.Fits(count, sizeof(T))) return false;
    if (count == 0) return true;
    keys = new (std::nothrow) T[count];
    if (!keys) {
        count = 0;
        return false;
    }
    return in.Floats(reinterpret_cast<float*>(keys), (size_t)count * (sizeof(T) / 4));
}

bool ReadClip(PackReader& in, ModelClip& clip) {
    char name[kModelPackNameSize];
    if (!in.Bytes(name, sizeof(name))) return false;
    name[sizeof(name) - 1] = 0;
    SetString(clip.name, name);
    unsigned meshCount;
    if (!in.U32(clip.frameCount) || !in.U32(meshCount) || !in.Fits(meshCount, kMinMeshSize)) return false;
    if (meshCount) {
        clip.meshes.items = new (std::nothrow) Mesh[meshCount];
        if (!clip.meshes.items) return false;
        clip.meshes.count = meshCount;
    }
    std::vector<float> data;
    unsigned positionVertices = 0, texCoordVertices = 0;  // of the buffers in use
    for (unsigned i = 0; i < meshCount; ++i) {
        Mesh& mesh = clip.meshes.items[i];
        Mesh* previous = i ? &clip.meshes.items[i - 1] : nullptr;
        unsigned count;
        if (!ReadExpanded(in, 3, count, data)) return false;
        if (count) {
            positionVertices = (unsigned)(data.size() / 3);
            if (positionVertices && !mesh.SetPositions(data.data(), positionVertices)) return false;
        } else {
            mesh.positionBuffer = previous ? previous->positionBuffer : nullptr;
            if (!previous) positionVertices = 0;
        }
        if (!ReadExpanded(in, 2, count, data)) return false;
        if (count) {
            texCoordVertices = (unsigned)(data.size() / 2);
            if (texCoordVertices && !mesh.SetTexCoords(data.data(), texCoordVertices)) return false;
        } else {
            mesh.texCoordBuffer = previous ? previous->texCoordBuffer : nullptr;
            if (!previous) texCoordVertices = 0;
        }
        // Never more vertices than either buffer holds.
        mesh.primitiveMode = kMeshTriangleList;
        mesh.vertexCount = positionVertices < texCoordVertices ? positionVertices : texCoordVertices;
        if (!mesh.positionBuffer || !mesh.texCoordBuffer) mesh.vertexCount = 0;
    }
    return ReadKeys(in, clip.positionKeys, clip.positionKeyCount) &&
           ReadKeys(in, clip.rotationKeys, clip.rotationKeyCount) &&
           ReadKeys(in, clip.scaleKeys, clip.scaleKeyCount);
}

// The part's data into model (box and clips). false for a pack without the
// part or one that is damaged; model then holds what was read, for its
// destructor to free.
bool ReadPart(const unsigned char* bytes, size_t size, const char* part, Model& model) {
    PackReader in(bytes, size);
    unsigned directory, entries;
    if (size < 4 || !in.Seek(size - 4) || !in.U32(directory) || !in.Seek(directory) || !in.U32(entries) ||
        !in.Fits(entries, kModelPackEntrySize))
        return false;
    bool found = false, hasBox = false;
    unsigned offset = 0;
    for (unsigned i = 0; i < entries && !found; ++i) {
        char name[kModelPackNameSize];
        unsigned at;
        if (!in.Bytes(name, sizeof(name)) || !in.U32(at)) return false;
        hasBox = name[kModelPackNameSize - 1] == '#';
        name[kModelPackNameSize - 1] = 0;
        if (StringEquals(name, part)) {
            found = true;
            offset = at;
        }
    }
    if (!found || !in.Seek(offset)) return false;
    if (hasBox) {
        model.box = new (std::nothrow) float[6];
        if (!model.box || !in.Floats(model.box, 6)) return false;
    }
    unsigned clipCount;
    if (!in.U32(clipCount) || !in.Fits(clipCount, kMinClipSize)) return false;
    if (clipCount) {
        model.clips.items = new (std::nothrow) ModelClip[clipCount];
        if (!model.clips.items) return false;
        model.clips.count = clipCount;
    }
    for (unsigned i = 0; i < clipCount; ++i)
        if (!ReadClip(in, model.clips.items[i])) return false;
    return true;
}

} // namespace

Model* ResourceManager::LoadModel(const char* name, const char* part) {
    FileHandle* file = OpenFile(name);
    if (!file) return nullptr;
    // The whole pack in one read: every offset and count is then checked
    // against its real size.
    long size = -1;
    if (g_fileSystem.Seek(0, 2, file) == 0) size = g_fileSystem.Tell(file);
    unsigned char* bytes = nullptr;
    bool read = false;
    if (size >= 4 && size <= kMaxPackSize && g_fileSystem.Seek(0, 0, file) == 0) {
        bytes = static_cast<unsigned char*>(std::malloc((size_t)size));
        read = bytes && g_fileSystem.Read(bytes, (unsigned)size, file) == (unsigned)size;
    }
    g_fileSystem.Close(file);

    Model* model = read ? new (std::nothrow) Model() : nullptr;
    bool ok = model && ReadPart(bytes, (size_t)size, part, *model);
    std::free(bytes);
    if (!ok) {
        // Nothing half-read reaches the cache.
        delete model;
        return nullptr;
    }
    model->type = RESOURCE_MODEL;
    model->refCount = 1;
    SetString(model->key, JoinStrings(name, "|", part));
    Link(model);
    return model;
}
