#include "resource_manager.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "file_system.h"
#include "model.h"
#include "render_device.h"
#include "strings.h"
#include "texture.h"

ResourceManager g_resourceManager;

static bool ValidType(int type) { return type >= 0 && type < RESOURCE_TYPE_COUNT; }

void ResourceManager::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
    error[sizeof(error) - 1] = 0;
}

bool ResourceManager::Init() {
    // Lists already in use are kept: a second Init must not orphan entries.
    for (int t = 0; t < RESOURCE_TYPE_COUNT; ++t) {
        if (tail[t]) continue;
        sentinel[t] = Resource();
        tail[t] = &sentinel[t];
    }
    return true;
}

void ResourceManager::Shutdown() {
    for (int t = 0; t < RESOURCE_TYPE_COUNT; ++t) {
        while (sentinel[t].next) Free(sentinel[t].next);
        sentinel[t] = Resource();
        tail[t] = &sentinel[t];
    }
}

void ResourceManager::Link(Resource* r) {
    int t = r->type;
    if (!tail[t]) tail[t] = &sentinel[t];
    r->prev = tail[t];
    r->next = nullptr;
    tail[t]->next = r;
    tail[t] = r;
}

void ResourceManager::Unlink(Resource* r) {
    if (!r->prev) return;  // never entered (an instance's own model)
    r->prev->next = r->next;
    if (r->next) r->next->prev = r->prev;
    else tail[r->type] = r->prev;
    r->prev = r->next = nullptr;
}

Resource* ResourceManager::First(int type) const { return ValidType(type) ? sentinel[type].next : nullptr; }

unsigned ResourceManager::Count(int type) const {
    unsigned n = 0;
    for (Resource* r = First(type); r; r = r->next) ++n;
    return n;
}

Resource* ResourceManager::Find(const char* key, int type) {
    if (!key || !ValidType(type)) return nullptr;
    for (Resource* r = sentinel[type].next; r; r = r->next)
        if (r->key && StringEquals(r->key, key)) return r;
    return nullptr;
}

Resource* ResourceManager::CreateEntry(const char* name, int type) {
    Resource* r = nullptr;
    if (type == RESOURCE_TEXTURE) r = new (std::nothrow) Texture();
    else if (type == RESOURCE_MODEL) r = new (std::nothrow) Model();
    else {
        SetError("Invalid resource (%s) type <%i>.", name ? name : "", type);
        return nullptr;
    }
    if (!r) return nullptr;
    r->type = type;
    r->refCount = 1;
    SetString(r->key, name);
    Link(r);
    return r;
}

void ResourceManager::Free(Resource* r) {
    if (!r) return;
    if (r->type == RESOURCE_TEXTURE) {
        Texture* t = static_cast<Texture*>(r);
        DeviceReleaseTexture(t);
        std::free(t->pixels);
        t->pixels = nullptr;
        Unlink(t);
        SetString(t->key, nullptr);
        delete t;
    } else if (r->type == RESOURCE_MODEL) {
        Model* m = static_cast<Model*>(r);
        Unlink(m);
        SetString(m->key, nullptr);
        delete m;
    }
}

void ResourceManager::Release(Resource* r) {
    if (!r) return;
    // The count never wraps: a release too many frees once, not never.
    if (r->refCount > 0) --r->refCount;
    if (r->refCount == 0) Free(r);
}

FileHandle* ResourceManager::OpenFile(const char* name) {
    FileHandle* file = g_fileSystem.Open(g_fileSystem.GetFileId(name));
    if (file && (file->loose || file->entry)) return file;
    SetError("%s", g_fileSystem.GetError());
    if (file) g_fileSystem.Close(file);
    return nullptr;
}

Resource* ResourceManager::Get(const char* name, int type, const char* part) {
    if (!name) return nullptr;
    // Textures are entered under their label alone, so only models take the part.
    char key[1024];
    CopyString(key, sizeof(key), (part && type == RESOURCE_MODEL) ? JoinStrings(name, "|", part) : name);
    if (Resource* hit = Find(key, type)) {
        ++hit->refCount;
        return hit;
    }
    if (type == RESOURCE_MODEL) {
        Model* model = LoadModel(name, part);
        if (!model) SetError("<%s|%s> model not loaded.", name, part ? part : "");
        return model;
    }
    if (type == RESOURCE_TEXTURE) {
        Texture* texture = LoadPngTexture(name);
        if (!texture) texture = LoadJpegTexture(name);
        if (!texture) {
            SetError("<%s> texture not loaded.", name);
            return nullptr;
        }
        bool uploaded = DeviceCreateTexture(texture);
        if (!uploaded || !DeviceTextureLayout().keepPixels) {
            std::free(texture->pixels);
            texture->pixels = nullptr;
        }
        if (!uploaded) {
            // No texture without its device half stays in the cache.
            Free(texture);
            SetError("<%s> texture not loaded.", name);
            return nullptr;
        }
        return texture;
    }
    SetError("Invalid resource (%s) type <%i>.", name, type);
    return nullptr;
}

Texture* ResourceManager::GetTexture(const char* name) {
    return static_cast<Texture*>(Get(name, RESOURCE_TEXTURE, nullptr));
}

Model* ResourceManager::GetModel(const char* file, const char* part) {
    return static_cast<Model*>(Get(file, RESOURCE_MODEL, part));
}
