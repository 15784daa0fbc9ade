#include "file_system.h"

#include "strings.h"
#include "zip_archive.h"

#include <tinyxml.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

FileSystem g_fileSystem;

void FileSystem::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
    // Some C runtimes leave a cut text unterminated.
    error[sizeof(error) - 1] = 0;
}

FileHandle* FileSystem::Resolve(FileHandle* handle) {
    if (!handle) handle = current;
    if (!handle) SetError("Open file first.");
    return handle;
}

const char* FileSystem::GetPath(int id) const {
    return (id >= 1 && id <= kMaxFiles) ? path[id] : nullptr;
}

const char* FileSystem::GetLabel(int id) const {
    return (id >= 1 && id <= kMaxFiles) ? label[id] : nullptr;
}

namespace {

// TinyXML can step a few bytes past the terminating NUL of damaged text (a
// multi-byte character cut off at the very end): every text it parses has
// this many zero bytes after it, so such a step lands on a zero and stops.
const unsigned kXmlPadding = 8;

// The manifest read as TinyXML's LoadFile reads it (line ends made "\n"),
// into a padded buffer. false when the file cannot be read.
bool ParseXmlFile(const char* path, TiXmlDocument& doc) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    char* text = size >= 0 && std::fseek(f, 0, SEEK_SET) == 0
                     ? static_cast<char*>(std::malloc((size_t)size + kXmlPadding))
                     : nullptr;
    size_t got = text ? std::fread(text, 1, (size_t)size, f) : 0;
    std::fclose(f);
    if (!text) return false;
    size_t n = 0;
    for (size_t i = 0; i < got; ++i) {
        if (text[i] == '\r') {
            text[n++] = '\n';
            if (i + 1 < got && text[i + 1] == '\n') ++i;
        } else {
            text[n++] = text[i];
        }
    }
    std::memset(text + n, 0, (size_t)size + kXmlPadding - n);
    doc.Parse(text, nullptr, TIXML_DEFAULT_ENCODING);
    std::free(text);
    return true;
}

}  // namespace

bool FileSystem::Load(const char* manifest_path) {
    // A second Load replaces the first manifest instead of leaking it.
    Shutdown();

    TiXmlDocument doc;
    // A file that cannot be read gets TinyXML's own message for it.
    bool parsed = manifest_path && ParseXmlFile(manifest_path, doc) ? !doc.Error()
                  : manifest_path                                   ? doc.LoadFile(manifest_path)
                                                                    : false;
    if (!parsed) {
        const char* desc = doc.ErrorDesc();
        SetError("%s(%i,%i): %s", manifest_path ? manifest_path : "", doc.ErrorRow(),
                 doc.ErrorCol(), desc ? desc : "");
        return false;
    }

    TiXmlElement* root = doc.RootElement();
    if (!root) return true;
    const char* res_path = root->Attribute("res_path");
    for (TiXmlElement* group = root->FirstChildElement("group"); group;
         group = group->NextSiblingElement("group")) {
        const char* group_path = group->Attribute("path");
        for (TiXmlElement* file = group->FirstChildElement("file");
             file && file_count < kMaxFiles; file = file->NextSiblingElement("file")) {
            int id = ++file_count;
            SetString(path[id], JoinStrings(res_path, group_path, file->Attribute("path")));
            SetString(label[id], file->Attribute("label"));
        }
    }

    const char* dat_path = root->Attribute("dat_path");
    if (dat_path && *dat_path)
        archive = new (std::nothrow) ZipArchive(dat_path, path, (unsigned)file_count + 1);
    return true;
}

void FileSystem::Shutdown() {
    for (int id = 1; id <= kMaxFiles; ++id) {
        SetString(path[id], nullptr);
        SetString(label[id], nullptr);
    }
    file_count = 0;
    delete archive;
    archive = nullptr;
}

int FileSystem::GetFileId(const char* text) {
    if (!text) return 0;
    for (int id = 1; id <= file_count; ++id)
        if (StringEquals(label[id], text)) return id;
    SetError("File <%s> not found", text);
    return 0;
}

FileHandle* FileSystem::Open(int id) {
    const char* file_path = GetPath(id);
    FileHandle* handle = new (std::nothrow) FileHandle();
    if (handle) {
        current = handle;
        if (file_path) {
            handle->loose = std::fopen(file_path, "rb");
            if (!handle->loose && archive) handle->entry = archive->OpenEntry((unsigned)id);
        }
        if (handle->loose || handle->entry) return handle;
    }
    SetError("File <%s> not found, file ID = %i.", file_path ? file_path : "", id);
    return handle;
}

unsigned FileSystem::Read(void* buffer, unsigned n, FileHandle* handle) {
    FileHandle* h = Resolve(handle);
    if (!h || !buffer || n == 0) return 0;
    if (h->loose) return (unsigned)std::fread(buffer, 1, n, h->loose);
    if (h->entry && archive) return archive->Read(h->entry, h->position, buffer, n);
    return 0;
}

int FileSystem::Seek(long offset, int whence, FileHandle* handle) {
    FileHandle* h = Resolve(handle);
    if (!h) return -1;
    if (h->loose) {
        if (whence < 0 || whence > 2) return -1;
        static const int origins[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
        return std::fseek(h->loose, offset, origins[whence]) == 0 ? 0 : -1;
    }
    if (h->entry && archive) return archive->Seek(h->entry, h->position, offset, whence);
    return -1;
}

long FileSystem::Tell(FileHandle* handle) {
    FileHandle* h = Resolve(handle);
    if (!h) return -1;
    if (h->loose) return std::ftell(h->loose);
    if (h->entry) return (long)h->position;
    return -1;
}

void FileSystem::Close(FileHandle* handle) {
    FileHandle* h = Resolve(handle);
    if (!h) return;
    if (h->loose) std::fclose(h->loose);
    if (h == current) current = nullptr;
    delete h;
}

unsigned char* FileSystem::ReadAll(int id, unsigned char* buffer, unsigned* size_out) {
    FileHandle* h = Open(id);
    if (!h) return nullptr;
    if (!h->loose && !h->entry) {
        Close(h);
        return nullptr;
    }

    long size = 0;
    if (h->loose) {
        if (std::fseek(h->loose, 0, SEEK_END) != 0 || (size = std::ftell(h->loose)) < 0 ||
            std::fseek(h->loose, 0, SEEK_SET) != 0) {
            SetError("File <%s> not found, file ID = %i.", GetPath(id), id);
            Close(h);
            return nullptr;
        }
    } else {
        size = archive ? (long)archive->GetSize(h->entry) : 0;
    }

    unsigned char* out = buffer;
    if (!out) {
        out = static_cast<unsigned char*>(std::malloc((size_t)size + kXmlPadding));
        if (!out) {
            Close(h);
            return nullptr;
        }
    }
    // A file that shrank since its size was taken yields what is there.
    unsigned got = size > 0 ? Read(out, (unsigned)size, h) : 0;
    if (!buffer) std::memset(out + got, 0, (size_t)size - got + kXmlPadding);
    Close(h);
    if (size_out) *size_out = got;
    return out;
}

bool FileSystem::LoadXml(int id, TiXmlDocument* document) {
    if (!document) return false;
    unsigned size = 0;
    unsigned char* text = ReadAll(id, nullptr, &size);
    if (!text) return false;
    // Parse adds to what the document holds; start from an empty one.
    document->Clear();
    document->Parse(reinterpret_cast<const char*>(text), nullptr, TIXML_DEFAULT_ENCODING);
    std::free(text);
    if (document->Error()) {
        const char* desc = document->ErrorDesc();
        const char* file_path = GetPath(id);
        SetError("%s(%i,%i): %s", file_path ? file_path : "", document->ErrorRow(),
                 document->ErrorCol(), desc ? desc : "");
        return false;
    }
    return true;
}
