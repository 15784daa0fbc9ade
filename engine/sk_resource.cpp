#include "sk_resource.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "sk_character.h"
#include "sk_disk.h"
#include "strings.h"

SkLibrary g_skLibrary;
SkinTextureLoader* g_skinTextureLoader = nullptr;
void (*Skin::ReleaseDeviceData)(void* data) = nullptr;

// ---- reading and writing little-endian fields -------------------------------

namespace {

// Reads from the current position to the end of the file, refusing any
// count whose data could not be there.
class RecordIn {
public:
    explicit RecordIn(FILE* f) : file(f) {
        long at = std::ftell(f);
        if (at >= 0 && std::fseek(f, 0, SEEK_END) == 0) {
            long end = std::ftell(f);
            if (end >= at) left = (uint64_t)(end - at);
        }
        std::fseek(f, at < 0 ? 0 : at, SEEK_SET);
    }

    // True when n items of size bytes are still in the file.
    bool Has(uint64_t n, uint64_t size) const { return size == 0 || n <= left / size; }

    bool Bytes(void* out, size_t n) {
        if (n > left) return false;
        if (n && std::fread(out, 1, n, file) != n) return false;
        left -= n;
        return true;
    }
    bool U8(uint8_t& v) { return Bytes(&v, 1); }
    bool U16(uint16_t& v) {
        unsigned char b[2];
        if (!Bytes(b, 2)) return false;
        v = (uint16_t)(b[0] | b[1] << 8);
        return true;
    }
    bool U32(uint32_t& v) {
        unsigned char b[4];
        if (!Bytes(b, 4)) return false;
        v = (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
        return true;
    }
    bool F32(float& v) {
        uint32_t u;
        if (!U32(u)) return false;
        std::memcpy(&v, &u, 4);
        return true;
    }
    bool Floats(float* out, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (!F32(out[i])) return false;
        return true;
    }

private:
    FILE* file;
    uint64_t left = 0;
};

bool PutBytes(FILE* f, const void* p, size_t n) { return n == 0 || std::fwrite(p, 1, n, f) == n; }
bool PutU8(FILE* f, uint8_t v) { return PutBytes(f, &v, 1); }
bool PutU16(FILE* f, uint16_t v) {
    unsigned char b[2] = {(unsigned char)v, (unsigned char)(v >> 8)};
    return PutBytes(f, b, 2);
}
bool PutU32(FILE* f, uint32_t v) {
    unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16), (unsigned char)(v >> 24)};
    return PutBytes(f, b, 4);
}
bool PutF32(FILE* f, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return PutU32(f, u);
}
bool PutFloats(FILE* f, const float* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!PutF32(f, p[i])) return false;
    return true;
}

template <typename T> T* NewArray(uint64_t n) {
    if (n == 0 || n > 0x7FFFFFFFu / sizeof(T)) return nullptr;
    return new (std::nothrow) T[(size_t)n];
}

} // namespace

// ---- math ------------------------------------------------------------------

void QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out) {
    float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    Quaternion c = b;
    if (d < 0.0f) {
        d = -d;
        c = Quaternion{-b.x, -b.y, -b.z, -b.w};
    }
    float wa, wb;
    if (1.0f - d > 0.00001f) {
        float theta = std::acos(d > 1.0f ? 1.0f : d);
        float s = std::sin(theta);
        wa = std::sin((1.0f - t) * theta) / s;
        wb = std::sin(t * theta) / s;
    } else {
        wa = 1.0f - t;
        wb = t;
    }
    out = Quaternion{wa * a.x + wb * c.x, wa * a.y + wb * c.y, wa * a.z + wb * c.z, wa * a.w + wb * c.w};
}

void MatrixIdentity(Matrix4& out) { out = Matrix4::Identity(); }

void RigidInverse(const Matrix4& m, Matrix4& out) {
    Matrix4 r;
    // Transposed rotation, translation -t . R^T.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i * 4 + j] = m.m[j * 4 + i];
    r.m[3] = r.m[7] = r.m[11] = 0.0f;
    for (int j = 0; j < 3; ++j)
        r.m[12 + j] = -(m.m[12] * r.m[j] + m.m[13] * r.m[4 + j] + m.m[14] * r.m[8 + j]);
    r.m[15] = 1.0f;
    out = r;
}

void MatrixMultiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i * 4 + j] = a.m[i * 4] * b.m[j] + a.m[i * 4 + 1] * b.m[4 + j] + a.m[i * 4 + 2] * b.m[8 + j] +
                             a.m[i * 4 + 3] * b.m[12 + j];
    out = r;
}

// ---- SkResource ------------------------------------------------------------

SkResource::~SkResource() { SetString(name, nullptr); }

void SkResource::SetName(const char* text) { SetString(name, text); }

int SkResource::WriteRecord(FILE* file) {
    char magic[kSkMagicSize];
    std::memset(magic, ' ', sizeof(magic));
    const char* m = Magic();
    size_t n = std::strlen(m);
    std::memcpy(magic, m, n < kSkMagicSize ? n : kSkMagicSize);
    size_t len = name ? std::strlen(name) : 0;
    if (len > 0xFFFF) return SK_ERR_MALFORMED;
    if (!PutBytes(file, magic, sizeof(magic)) || !PutU16(file, (uint16_t)len) || !PutBytes(file, name, len))
        return SK_ERR_CREATE;
    return WriteBody(file);
}

int SkResource::SaveToFile(const char* path) {
    FILE* f = path ? std::fopen(path, "wb") : nullptr;
    if (!f) return SK_ERR_CREATE;
    int result = WriteRecord(f);
    if (std::fclose(f) != 0 && result == 0) result = SK_ERR_CREATE;
    return result;
}

// ---- Skeleton --------------------------------------------------------------

Skeleton::~Skeleton() { Clear(); }

void Skeleton::Clear() {
    for (unsigned i = 0; i < boneCount; ++i) delete[] bones[i].children;
    delete[] bones;
    bones = nullptr;
    boneCount = 0;
}

static void ComputeBind(SkBone& b) {
    RigidMatrix(b.position, b.rotation, b.local);
    RigidInverse(b.local, b.inverseLocal);
}

int Skeleton::ReadBody(FILE* file) {
    Clear();
    RecordIn in(file);
    uint16_t count;
    if (!in.U16(count)) return SK_ERR_SHORT;
    // Each bone takes at least 32 bytes.
    if (!in.Has(count, 32)) return SK_ERR_SHORT;
    if (count == 0) return SK_OK;
    SkBone* read = NewArray<SkBone>(count);
    if (!read) return SK_ERR_MEMORY;
    bones = read;
    boneCount = count;
    for (unsigned i = 0; i < count; ++i) {
        SkBone& b = bones[i];
        float q[4];
        if (!in.Floats(&b.position.x, 3) || !in.Floats(q, 4) || !in.U16(b.parent) || !in.U16(b.childCount)) {
            b.childCount = 0;
            return SK_ERR_SHORT;
        }
        b.rotation = Quaternion{q[0], q[1], q[2], q[3]};
        if (b.parent != kSkNoParent && b.parent >= count) {
            b.childCount = 0;
            return SK_ERR_RANGE;
        }
        uint16_t children = b.childCount;
        b.childCount = 0;
        if (!in.Has(children, 2)) return SK_ERR_SHORT;
        if (children) {
            b.children = NewArray<uint16_t>(children);
            if (!b.children) return SK_ERR_MALFORMED;
            for (unsigned c = 0; c < children; ++c) {
                if (!in.U16(b.children[c])) return SK_ERR_SHORT;
                if (b.children[c] >= count) return SK_ERR_RANGE;
                b.childCount = (uint16_t)(c + 1);
            }
        }
        ComputeBind(b);
    }
    return SK_OK;
}

int Skeleton::WriteBody(FILE* file) {
    if (boneCount > 0xFFFF || !PutU16(file, (uint16_t)boneCount)) return SK_ERR_CREATE;
    for (unsigned i = 0; i < boneCount; ++i) {
        const SkBone& b = bones[i];
        const float q[4] = {b.rotation.x, b.rotation.y, b.rotation.z, b.rotation.w};
        if (!PutFloats(file, &b.position.x, 3) || !PutFloats(file, q, 4) || !PutU16(file, b.parent) ||
            !PutU16(file, b.childCount))
            return SK_ERR_CREATE;
        for (unsigned c = 0; c < b.childCount; ++c)
            if (!PutU16(file, b.children[c])) return SK_ERR_CREATE;
    }
    return SK_OK;
}

int Skeleton::SetBones(unsigned count, const Vector3* positions, const Quaternion* rotations,
                       const uint16_t* parents) {
    for (unsigned i = 0; i < count; ++i)
        if (parents[i] != kSkNoParent && parents[i] >= count) return SK_ERR_RANGE;
    Clear();
    if (count == 0) return SK_OK;
    if (count > 0xFFFF) return SK_ERR_RANGE;
    bones = NewArray<SkBone>(count);
    if (!bones) return SK_ERR_MEMORY;
    boneCount = count;
    for (unsigned i = 0; i < count; ++i) {
        bones[i].position = positions[i];
        bones[i].rotation = rotations[i];
        bones[i].parent = parents[i];
        ComputeBind(bones[i]);
    }
    for (unsigned i = 0; i < count; ++i) {
        unsigned n = 0;
        for (unsigned j = 0; j < count; ++j) n += parents[j] == i;
        if (!n) continue;
        bones[i].children = NewArray<uint16_t>(n);
        if (!bones[i].children) return SK_ERR_MALFORMED;
        for (unsigned j = 0; j < count; ++j)
            if (parents[j] == i) bones[i].children[bones[i].childCount++] = (uint16_t)j;
    }
    return SK_OK;
}

// ---- SkAnimation -----------------------------------------------------------

SkAnimation::~SkAnimation() { Clear(); }

void SkAnimation::Clear() {
    delete[] trackBones;
    delete[] keys;
    trackBones = nullptr;
    keys = nullptr;
    trackCount = keysPerTrack = highestBone = 0;
}

int SkAnimation::Create(unsigned tracks, unsigned keyCount, const uint16_t* bones) {
    Clear();
    if (tracks > 0xFFFF || keyCount > 0xFFFF) return SK_ERR_RANGE;
    if (tracks == 0 || keyCount == 0) {
        trackCount = (uint16_t)tracks;
        keysPerTrack = (uint16_t)keyCount;
        if (tracks) {
            trackBones = NewArray<uint16_t>(tracks);
            if (!trackBones) return SK_ERR_MEMORY;
            for (unsigned t = 0; t < tracks; ++t) trackBones[t] = bones[t];
        }
    } else {
        trackBones = NewArray<uint16_t>(tracks);
        keys = NewArray<SkKey>((uint64_t)tracks * keyCount);
        if (!trackBones || !keys) {
            Clear();
            return SK_ERR_MEMORY;
        }
        std::memset(keys, 0, sizeof(SkKey) * tracks * keyCount);
        trackCount = (uint16_t)tracks;
        keysPerTrack = (uint16_t)keyCount;
        for (unsigned t = 0; t < tracks; ++t) trackBones[t] = bones[t];
    }
    highestBone = 0;
    for (unsigned t = 0; t < trackCount; ++t)
        if (trackBones[t] > highestBone) highestBone = trackBones[t];
    return SK_OK;
}

int SkAnimation::ReadBody(FILE* file) {
    Clear();
    RecordIn in(file);
    uint16_t tracks, keyCount;
    if (!in.F32(duration) || !in.U8(loop) || !in.U16(tracks) || !in.U16(keyCount)) return SK_ERR_SHORT;
    if (!std::isfinite(duration) || duration < 0.0f) return SK_ERR_MALFORMED;
    if (!in.Has(tracks, 2) || !in.Has((uint64_t)tracks * keyCount, 28)) return SK_ERR_SHORT;
    uint16_t* bones = tracks ? NewArray<uint16_t>(tracks) : nullptr;
    if (tracks && !bones) return SK_ERR_MEMORY;
    for (unsigned t = 0; t < tracks; ++t)
        if (!in.U16(bones[t])) {
            delete[] bones;
            return SK_ERR_SHORT;
        }
    int made = Create(tracks, keyCount, bones);
    delete[] bones;
    if (made != SK_OK) return made;
    for (unsigned t = 0; t < UsableTracks(); ++t)
        for (unsigned k = 0; k < keysPerTrack; ++k) {
            SkKey& key = Keys(t)[k];
            float q[4];
            if (!in.Floats(q, 4) || !in.Floats(&key.position.x, 3)) return SK_ERR_SHORT;
            key.rotation = Quaternion{q[0], q[1], q[2], q[3]};
        }
    return SK_OK;
}

int SkAnimation::WriteBody(FILE* file) {
    if (!PutF32(file, duration) || !PutU8(file, loop) || !PutU16(file, trackCount) || !PutU16(file, keysPerTrack))
        return SK_ERR_CREATE;
    for (unsigned t = 0; t < trackCount; ++t)
        if (!PutU16(file, trackBones[t])) return SK_ERR_CREATE;
    for (unsigned t = 0; t < UsableTracks(); ++t)
        for (unsigned k = 0; k < keysPerTrack; ++k) {
            const SkKey& key = Keys(t)[k];
            const float q[4] = {key.rotation.x, key.rotation.y, key.rotation.z, key.rotation.w};
            if (!PutFloats(file, q, 4) || !PutFloats(file, &key.position.x, 3)) return SK_ERR_CREATE;
        }
    return SK_OK;
}

// ---- Skin ------------------------------------------------------------------

Skin::~Skin() { Clear(); }

void Skin::Clear() {
    if (deviceData && ReleaseDeviceData) ReleaseDeviceData(deviceData);
    deviceData = nullptr;
    if (texture && loaderTexture && g_skinTextureLoader) g_skinTextureLoader->Release(texture);
    texture = nullptr;
    loaderTexture = false;
    delete[] positions;
    delete[] workPositions;
    delete[] normals;
    delete[] workNormals;
    delete[] colours;
    delete[] texCoords;
    delete[] indices;
    delete[] influenceCounts;
    delete[] influenceStart;
    delete[] influenceBones;
    delete[] influenceWeights;
    positions = workPositions = normals = workNormals = colours = texCoords = influenceWeights = nullptr;
    indices = influenceStart = nullptr;
    influenceCounts = influenceBones = nullptr;
    SetString(textureName, nullptr);
    vertexCount = indexCount = influenceTotal = 0;
}

int Skin::ReadBody(FILE* file) {
    Clear();
    RecordIn in(file);
    uint8_t flags;
    uint32_t v, n;
    if (!in.U8(flags) || !in.U32(v) || !in.U32(n)) return SK_ERR_SHORT;
    // Positions, optional arrays and the influence counts must fit before
    // anything is allocated.
    uint64_t perVertex = 12 + 2 + (flags & 1 ? 12 : 0) + (flags & 2 ? 16 : 0) + (flags & 4 ? 8 : 0);
    if (!in.Has(v, perVertex) || !in.Has(n, 4)) return SK_ERR_SHORT;
    if ((uint64_t)v * perVertex + (uint64_t)n * 4 > 0x7FFFFFFFu) return SK_ERR_SHORT;
    vertexCount = v;
    indexCount = n;
    if (v) {
        positions = NewArray<float>((uint64_t)v * 3);
        workPositions = NewArray<float>((uint64_t)v * 3);
        if (!positions || !workPositions) return SK_ERR_MEMORY;
        if (!in.Floats(positions, (size_t)v * 3)) return SK_ERR_SHORT;
        if (flags & 1) {
            normals = NewArray<float>((uint64_t)v * 3);
            workNormals = NewArray<float>((uint64_t)v * 3);
            if (!normals || !workNormals) return SK_ERR_MEMORY;
            if (!in.Floats(normals, (size_t)v * 3)) return SK_ERR_SHORT;
            std::memcpy(workNormals, normals, sizeof(float) * v * 3);
        }
        if (flags & 2) {
            colours = NewArray<float>((uint64_t)v * 4);
            if (!colours) return SK_ERR_MEMORY;
            if (!in.Floats(colours, (size_t)v * 4)) return SK_ERR_SHORT;
        }
        if (flags & 4) {
            texCoords = NewArray<float>((uint64_t)v * 2);
            if (!texCoords) return SK_ERR_MEMORY;
            if (!in.Floats(texCoords, (size_t)v * 2)) return SK_ERR_SHORT;
            // The files keep v one below the drawn value; writing takes it back.
            for (uint32_t i = 0; i < v; ++i) texCoords[i * 2 + 1] += 1.0f;
        }
        std::memcpy(workPositions, positions, sizeof(float) * v * 3);
    }
    if (n) {
        indices = NewArray<uint32_t>(n);
        if (!indices) return SK_ERR_MEMORY;
        for (uint32_t i = 0; i < n; ++i) {
            if (!in.U32(indices[i])) return SK_ERR_SHORT;
            if (indices[i] >= v) return SK_ERR_RANGE;
        }
    }
    uint16_t nameLength;
    if (!in.U16(nameLength)) return SK_ERR_SHORT;
    if (nameLength > kSkMaxTextureName) return SK_ERR_MALFORMED;
    char texName[kSkMaxTextureName + 1];
    if (!in.Bytes(texName, nameLength)) return SK_ERR_SHORT;
    texName[nameLength] = '\0';
    SetString(textureName, texName);
    if (v) {
        influenceCounts = NewArray<uint16_t>(v);
        influenceStart = NewArray<uint32_t>(v);
        if (!influenceCounts || !influenceStart) return SK_ERR_MEMORY;
        uint64_t total = 0;
        for (uint32_t i = 0; i < v; ++i) {
            if (!in.U16(influenceCounts[i])) return SK_ERR_SHORT;
            influenceStart[i] = (uint32_t)total;
            total += influenceCounts[i];
        }
        // Each influence is a u16 bone and an f32 weight.
        if (!in.Has(total, 6)) return SK_ERR_SHORT;
        if (total) {
            influenceBones = NewArray<uint16_t>(total);
            influenceWeights = NewArray<float>(total);
            if (!influenceBones || !influenceWeights) return SK_ERR_MEMORY;
            for (uint32_t i = 0; i < v; ++i) {
                uint32_t s = influenceStart[i];
                for (unsigned k = 0; k < influenceCounts[i]; ++k)
                    if (!in.U16(influenceBones[s + k])) return SK_ERR_SHORT;
                if (!in.Floats(influenceWeights + s, influenceCounts[i])) return SK_ERR_SHORT;
            }
        }
        influenceTotal = (uint32_t)total;
    }
    if (textureName && g_skinTextureLoader) {
        texture = g_skinTextureLoader->Load(textureName);
        loaderTexture = texture != nullptr;
    }
    return SK_OK;
}

int Skin::WriteBody(FILE* file) {
    uint8_t flags = (uint8_t)((normals ? 1 : 0) | (colours ? 2 : 0) | (texCoords ? 4 : 0));
    if (!PutU8(file, flags) || !PutU32(file, vertexCount) || !PutU32(file, indexCount)) return SK_ERR_CREATE;
    if (!PutFloats(file, positions, (size_t)vertexCount * 3)) return SK_ERR_CREATE;
    if (normals && !PutFloats(file, normals, (size_t)vertexCount * 3)) return SK_ERR_CREATE;
    if (colours && !PutFloats(file, colours, (size_t)vertexCount * 4)) return SK_ERR_CREATE;
    if (texCoords)
        for (uint32_t i = 0; i < vertexCount; ++i)
            if (!PutF32(file, texCoords[i * 2]) || !PutF32(file, texCoords[i * 2 + 1] - 1.0f)) return SK_ERR_CREATE;
    for (uint32_t i = 0; i < indexCount; ++i)
        if (!PutU32(file, indices[i])) return SK_ERR_CREATE;
    size_t len = textureName ? std::strlen(textureName) : 0;
    if (len > kSkMaxTextureName) return SK_ERR_MALFORMED;
    if (!PutU16(file, (uint16_t)len) || !PutBytes(file, textureName, len)) return SK_ERR_CREATE;
    for (uint32_t i = 0; i < vertexCount; ++i)
        if (!PutU16(file, influenceCounts ? influenceCounts[i] : 0)) return SK_ERR_CREATE;
    if (influenceCounts)
        for (uint32_t i = 0; i < vertexCount; ++i) {
            uint32_t s = influenceStart[i];
            for (unsigned k = 0; k < influenceCounts[i]; ++k)
                if (!PutU16(file, influenceBones[s + k])) return SK_ERR_CREATE;
            if (!PutFloats(file, influenceWeights + s, influenceCounts[i])) return SK_ERR_CREATE;
        }
    return SK_OK;
}

// ---- SkLibrary -------------------------------------------------------------

SkLibrary::~SkLibrary() { Clear(); }

void SkLibrary::Clear() {
    // Characters first: they point at the other kinds.
    for (int kind = SK_KIND_COUNT - 1; kind >= 0; --kind) {
        List& l = lists[kind];
        for (unsigned i = 0; i < l.count; ++i) delete l.items[i];
        std::free(l.items);
        l = List();
    }
}

unsigned SkLibrary::GetCount(int kind) const { return kind >= 0 && kind < SK_KIND_COUNT ? lists[kind].count : 0; }

SkResource* SkLibrary::Get(int kind, unsigned i) const {
    return i < GetCount(kind) ? lists[kind].items[i] : nullptr;
}

SkResource* SkLibrary::Find(int kind, const char* name) const {
    for (unsigned i = 0; i < GetCount(kind); ++i)
        if (StringEquals(lists[kind].items[i]->GetName(), name)) return lists[kind].items[i];
    return nullptr;
}

int SkLibrary::IndexOf(const SkResource* resource) const {
    if (!resource) return -1;
    const List& l = lists[resource->Kind()];
    for (unsigned i = 0; i < l.count; ++i)
        if (l.items[i] == resource) return (int)i;
    return -1;
}

int SkLibrary::Add(SkResource* resource) {
    if (!resource) return SK_ERR_NOT_FOUND;
    if (IndexOf(resource) >= 0) return SK_ERR_PRESENT;
    List& l = lists[resource->Kind()];
    if (l.count == l.capacity) {
        unsigned grown = l.capacity ? l.capacity * 2 : 16;
        SkResource** items = static_cast<SkResource**>(std::realloc(l.items, sizeof(SkResource*) * grown));
        if (!items) return SK_ERR_MEMORY;
        l.items = items;
        l.capacity = grown;
    }
    l.items[l.count++] = resource;
    return SK_OK;
}

int SkLibrary::RemoveAt(int kind, unsigned i) {
    if (i >= GetCount(kind)) return SK_ERR_RANGE;
    List& l = lists[kind];
    SkResource* r = l.items[i];
    Detach(r);
    delete r;
    l.items[i] = l.items[--l.count];
    return SK_OK;
}

int SkLibrary::RemoveByName(int kind, const char* name) {
    for (unsigned i = 0; i < GetCount(kind); ++i)
        if (StringEquals(lists[kind].items[i]->GetName(), name)) return RemoveAt(kind, i);
    return SK_ERR_NOT_FOUND;
}

int SkLibrary::Remove(SkResource* resource) {
    int i = IndexOf(resource);
    return i < 0 ? SK_ERR_NOT_FOUND : RemoveAt(resource->Kind(), (unsigned)i);
}

void SkLibrary::Detach(SkResource* resource) {
    if (!resource) return;
    const List& chars = lists[SK_CHARACTER];
    for (unsigned i = 0; i < chars.count; ++i) {
        SkCharacter* c = static_cast<SkCharacter*>(chars.items[i]);
        switch (resource->Kind()) {
        case SK_SKELETON:
            if (c->skeleton == resource) c->SetSkeleton(nullptr);
            break;
        case SK_ANIMATION:
            if (c->animation == resource) c->Play(nullptr, 1, -1.0f, 0.2f);
            break;
        case SK_SKIN:
            for (int s = 0; s < kSkSlotCount; ++s)
                if (c->slots[s].skin == resource) c->slots[s].skin = nullptr;
            break;
        default:
            break;
        }
    }
}

int SkLibrary::ReadRecord(FILE* file) {
    char magic[kSkMagicSize];
    if (std::fread(magic, 1, sizeof(magic), file) != sizeof(magic)) return SK_ERR_SHORT;
    SkResource* made = nullptr;
    if (std::memcmp(magic, "Skeleton1.00", 12) == 0)
        made = new (std::nothrow) Skeleton();
    else if (std::memcmp(magic, "Skin1.00", 8) == 0)
        made = new (std::nothrow) Skin();
    else if (std::memcmp(magic, "SkAnimation1.00", 15) == 0)
        made = new (std::nothrow) SkAnimation();
    else
        return SK_ERR_MAGIC;
    if (!made) return SK_ERR_MEMORY;
    unsigned char lb[2];
    static char nameBuffer[0x10000];
    uint16_t length = 0;
    if (std::fread(lb, 1, 2, file) != 2) {
        delete made;
        return SK_ERR_SHORT;
    }
    length = (uint16_t)(lb[0] | lb[1] << 8);
    if (length && std::fread(nameBuffer, 1, length, file) != length) {
        delete made;
        return SK_ERR_SHORT;
    }
    nameBuffer[length] = '\0';
    made->SetName(nameBuffer);
    int result = made->ReadBody(file);
    if (result != SK_OK) {
        delete made;
        return result;
    }
    SkResource* old = Find(made->Kind(), made->GetName());
    if (old) {
        int at = IndexOf(old);
        Detach(old);
        lists[made->Kind()].items[at] = made;
        delete old;
        return SK_OK;
    }
    result = Add(made);
    if (result != SK_OK) delete made;
    return result;
}

int SkLibrary::LoadFile(const char* path) {
    long size = 0;
    if (!path || !SkDiskFileSize(path, size)) return SK_ERR_OPEN;
    FILE* f = std::fopen(path, "rb");
    if (!f) return SK_ERR_OPEN;
    int result = SK_OK;
    while (std::ftell(f) < size) {
        result = ReadRecord(f);
        if (result < 0) break;
    }
    std::fclose(f);
    return result < 0 ? result : SK_OK;
}

namespace {
struct FolderLoad {
    SkLibrary* library;
    const char* folder;
    int result;
};

void LoadRecordFile(const char* fileName, void* context) {
    FolderLoad* load = static_cast<FolderLoad*>(context);
    char path[2048];
    std::snprintf(path, sizeof(path), "%s%c%s", load->folder, kSkPathSeparator, fileName);
    int r = load->library->LoadFile(path);
    if (r < 0) load->result = r;
}

void LoadCharacterFile(const char* fileName, void* context) {
    FolderLoad* load = static_cast<FolderLoad*>(context);
    char path[2048];
    std::snprintf(path, sizeof(path), "%s%c%s", load->folder, kSkPathSeparator, fileName);
    SkCharacter* c = new (std::nothrow) SkCharacter();
    if (!c) {
        load->result = SK_ERR_MEMORY;
        return;
    }
    int r = c->LoadFromFile(path, *load->library);
    if (r == SK_OK) r = load->library->Add(c);
    if (r < 0) {
        delete c;
        load->result = r;
    }
}
} // namespace

int SkLibrary::LoadFolder(const char* folder) {
    if (!folder) return SK_ERR_OPEN;
    FolderLoad load = {this, folder, SK_OK};
    SkDiskForEach(folder, ".ske", LoadRecordFile, &load);
    SkDiskForEach(folder, ".ska", LoadRecordFile, &load);
    SkDiskForEach(folder, ".ski", LoadRecordFile, &load);
    SkDiskForEach(folder, ".skc", LoadCharacterFile, &load);
    return load.result;
}
