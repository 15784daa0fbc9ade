// The one cache of shared resources: textures and models, found by key,
// reference-counted, freed with their last user or at exit.
#pragma once

enum ResourceType {
    RESOURCE_TEXTURE = 0,
    RESOURCE_MODEL = 1,
    RESOURCE_UNUSED = 2,
    RESOURCE_TYPE_COUNT = 3
};

// Header of every cached resource.
struct Resource {
    int type = 0;
    char* key = nullptr;  // texture: the file label; model: "label|part"
    unsigned refCount = 0;
    Resource* next = nullptr;
    Resource* prev = nullptr;
};

struct FileHandle;
struct Texture;
struct Model;

class ResourceManager {
public:
    bool Init();
    // Frees every entry whatever its count.
    void Shutdown();

    // Get-or-load: type 0 a texture (PNG, else JPEG), type 1 the named part
    // of a model pack. A hit adds a reference; a load starts at one. null
    // (and the error text) on failure.
    Resource* Get(const char* name, int type, const char* part = nullptr);
    Texture* GetTexture(const char* name);
    Model* GetModel(const char* file, const char* part);

    // The resource of that type whose key is exactly key.
    Resource* Find(const char* key, int type);
    // A new zeroed Texture or Model at the tail of its list, key copied,
    // reference count 1.
    Resource* CreateEntry(const char* name, int type);
    // One reference less; the last one frees the resource.
    void Release(Resource* resource);
    // Unlinks and destroys, whatever the count.
    void Free(Resource* resource);

    // The loaders behind Get. A texture comes back decoded (pixels set, no
    // device texture yet) and already entered in the cache.
    Texture* LoadPngTexture(const char* name);
    Texture* LoadJpegTexture(const char* name);
    Model* LoadModel(const char* name, const char* part);

    const char* GetError() const { return error; }
    // The first entry of a list (walk on with next), and the list's length.
    Resource* First(int type) const;
    unsigned Count(int type) const;

private:
    void SetError(const char* format, ...);
    void Link(Resource* resource);
    void Unlink(Resource* resource);
    // The file of this label opened through the file system; null (with
    // the file system's error text) when it cannot be.
    FileHandle* OpenFile(const char* name);

    // No constructor: the global instance is zero-initialised before any
    // code runs; Init only resets the lists.
    Resource sentinel[RESOURCE_TYPE_COUNT];
    Resource* tail[RESOURCE_TYPE_COUNT];
    char error[1024];
};

extern ResourceManager g_resourceManager;
