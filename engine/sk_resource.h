// Skeletal resources: skeletons, keyed bone animations and skins, their
// binary records, and the one library that holds them with the characters.
//
// Record layout (little-endian): 16 bytes of magic padded with spaces, u16
// name length, the name without terminator, then the body of the kind.
// Every reader checks each count against the bytes left in the file and
// each index against its range before it allocates or stores anything, so
// a damaged file gives its error code and never a wild write.
//
// This file and its .cpp use plain C stdio only (the folder search is in
// sk_disk), so the readers also build natively for fuzzing.
#pragma once
#include <cstdint>
#include <cstdio>

#include "math3d.h"

enum SkResourceKind {
    SK_SKELETON = 0,
    SK_ANIMATION = 1,
    SK_SKIN = 2,
    SK_CHARACTER = 3,
    SK_KIND_COUNT = 4
};

// Result codes of the whole skeletal family (0 is success).
enum SkError {
    SK_OK = 0,
    SK_ERR_MAGIC = -11,        // record with an unknown magic
    SK_ERR_OPEN = -12,         // file missing or unopenable
    SK_ERR_CREATE = -13,       // file cannot be created for writing
    SK_ERR_SHORT = -15,        // a read came short, or a count runs past the file
    SK_ERR_MEMORY = -300,
    SK_ERR_RANGE = -501,       // index out of range
    SK_ERR_NOT_FOUND = -505,
    SK_ERR_PRESENT = -506,
    SK_ERR_MALFORMED = -1000
};

const unsigned kSkMagicSize = 16;
const unsigned kSkMaxTextureName = 1024;
const uint16_t kSkNoParent = 0xFFFF;

class SkResource {
public:
    SkResource() = default;
    virtual ~SkResource();
    SkResource(const SkResource&) = delete;
    SkResource& operator=(const SkResource&) = delete;

    virtual SkResourceKind Kind() const = 0;
    virtual const char* Magic() const = 0;
    // Header, then the body.
    virtual int WriteRecord(FILE* file);
    // "wb", WriteRecord, close; -13 when the file cannot be created.
    virtual int SaveToFile(const char* path);
    virtual int ReadBody(FILE* file) = 0;
    virtual int WriteBody(FILE* file) = 0;

    const char* GetName() const { return name; }
    void SetName(const char* text);

protected:
    char* name = nullptr;
};

struct SkBone {
    Vector3 position;
    Quaternion rotation;
    Matrix4 local;          // the bind pose: RigidMatrix(position, rotation)
    Matrix4 inverseLocal;   // its inverse, kept for skinning
    uint16_t parent = kSkNoParent;
    uint16_t childCount = 0;
    uint16_t* children = nullptr;
};

class Skeleton : public SkResource {
public:
    ~Skeleton() override;
    SkResourceKind Kind() const override { return SK_SKELETON; }
    const char* Magic() const override { return "Skeleton1.00"; }
    int ReadBody(FILE* file) override;
    int WriteBody(FILE* file) override;

    // Replaces the bones (positions, rotations, parents); children are
    // derived from the parents. -501 for a parent past the count.
    int SetBones(unsigned count, const Vector3* positions, const Quaternion* rotations, const uint16_t* parents);
    void Clear();

    SkBone* bones = nullptr;
    unsigned boneCount = 0;
};

// One bone's pose: the key of a track.
struct SkKey {
    Vector3 position;
    Quaternion rotation;
};

class SkAnimation : public SkResource {
public:
    ~SkAnimation() override;
    SkResourceKind Kind() const override { return SK_ANIMATION; }
    const char* Magic() const override { return "SkAnimation1.00"; }
    int ReadBody(FILE* file) override;
    int WriteBody(FILE* file) override;

    // Allocates tracks x keys (zeroed keys); bone indices from bones.
    int Create(unsigned tracks, unsigned keys, const uint16_t* bones);
    void Clear();
    SkKey* Keys(unsigned track) const { return keys + (size_t)track * keysPerTrack; }
    // Tracks that hold keys: a track without keys is no track.
    unsigned UsableTracks() const { return keysPerTrack ? trackCount : 0; }

    float duration = 0.0f;
    uint8_t loop = 1;
    uint16_t trackCount = 0;
    uint16_t highestBone = 0;
    uint16_t keysPerTrack = 0;
    uint16_t* trackBones = nullptr;
    SkKey* keys = nullptr;  // trackCount x keysPerTrack, track by track
};

// Where a skin's texture comes from; the game installs one.
class SkinTextureLoader {
public:
    virtual ~SkinTextureLoader() {}
    virtual void* Load(const char* textureName) = 0;
    virtual void Release(void* handle) = 0;
};
extern SkinTextureLoader* g_skinTextureLoader;

class Skin : public SkResource {
public:
    ~Skin() override;
    SkResourceKind Kind() const override { return SK_SKIN; }
    const char* Magic() const override { return "Skin1.00"; }
    int ReadBody(FILE* file) override;
    int WriteBody(FILE* file) override;
    void Clear();

    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
    float* positions = nullptr;        // V x 3, as bound
    float* workPositions = nullptr;    // V x 3, skinned
    float* normals = nullptr;          // optional, V x 3
    float* workNormals = nullptr;
    float* colours = nullptr;          // optional, V x 4
    float* texCoords = nullptr;        // optional, V x 2 (v as drawn: the file's v + 1)
    uint32_t* indices = nullptr;       // I, triangle list
    char* textureName = nullptr;
    void* texture = nullptr;           // handle: a loader's or the game's Texture
    bool loaderTexture = false;        // texture came from the loader (and goes back to it)
    uint16_t* influenceCounts = nullptr;   // V
    uint32_t* influenceStart = nullptr;    // V: first entry of each vertex
    uint16_t* influenceBones = nullptr;    // all entries
    float* influenceWeights = nullptr;
    uint32_t influenceTotal = 0;
    // Device data a drawing back end may hang on the skin, released with it.
    void* deviceData = nullptr;
    static void (*ReleaseDeviceData)(void* data);
};

class SkCharacter;

class SkLibrary {
public:
    SkLibrary() = default;
    ~SkLibrary();
    SkLibrary(const SkLibrary&) = delete;
    SkLibrary& operator=(const SkLibrary&) = delete;

    unsigned GetCount(int kind) const;
    SkResource* Get(int kind, unsigned i) const;
    SkResource* Find(int kind, const char* name) const;
    int Add(SkResource* resource);
    int RemoveAt(int kind, unsigned i);
    int RemoveByName(int kind, const char* name);
    int Remove(SkResource* resource);
    // Makes every character of the library stop using the resource.
    void Detach(SkResource* resource);
    // Deletes every resource.
    void Clear();

    int ReadRecord(FILE* file);
    int LoadFile(const char* path);
    // "*.ske", "*.ska", "*.ski" records, then "*.skc" characters.
    int LoadFolder(const char* folder);

private:
    int IndexOf(const SkResource* resource) const;

    struct List {
        SkResource** items = nullptr;
        unsigned count = 0;
        unsigned capacity = 0;
    };
    List lists[SK_KIND_COUNT];
};

extern SkLibrary g_skLibrary;

// Spherical interpolation along the shorter arc; the result is not
// normalised.
void QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out);
void MatrixIdentity(Matrix4& out);
// The inverse of a rigid matrix (rotation and translation only).
void RigidInverse(const Matrix4& m, Matrix4& out);
// a x b for row-vector matrices (a applied first).
void MatrixMultiply(const Matrix4& a, const Matrix4& b, Matrix4& out);
