#include "sound_decode.h"

#include <tinyxml.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "file_system.h"

namespace {

// The decoder reads through the file system, so a sound is found loose or in
// the data archive like every other file.
size_t ReadSound(void* ptr, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) return 0;
    unsigned got = g_fileSystem.Read(ptr, (unsigned)(size * count), static_cast<FileHandle*>(source));
    return got / size;
}

int SeekSound(void* source, ogg_int64_t offset, int whence) {
    return g_fileSystem.Seek((long)(int32_t)offset, whence, static_cast<FileHandle*>(source));
}

int CloseSound(void* source) {
    g_fileSystem.Close(static_cast<FileHandle*>(source));
    return 0;
}

long TellSound(void* source) { return g_fileSystem.Tell(static_cast<FileHandle*>(source)); }

}  // namespace

OggVorbis_File* OpenSoundFile(const char* label) {
    int id = g_fileSystem.GetFileId(label);
    if (!id) return nullptr;
    FileHandle* handle = g_fileSystem.Open(id);
    if (!handle) return nullptr;
    if (!handle->loose && !handle->entry) {
        g_fileSystem.Close(handle);
        return nullptr;
    }
    OggVorbis_File* file = new (std::nothrow) OggVorbis_File;
    if (!file) {
        g_fileSystem.Close(handle);
        return nullptr;
    }
    std::memset(file, 0, sizeof(*file));
    ov_callbacks callbacks = {ReadSound, SeekSound, CloseSound, TellSound};
    if (ov_open_callbacks(handle, file, nullptr, 0, callbacks) != 0) {
        // A failed open leaves the data source to us.
        g_fileSystem.Close(handle);
        delete file;
        return nullptr;
    }
    return file;
}

void CloseSoundFile(OggVorbis_File*& file) {
    if (!file) return;
    ov_clear(file);
    delete file;
    file = nullptr;
}

bool ReadSoundFormat(OggVorbis_File* file, SoundFormat& format, unsigned minRate, unsigned maxRate) {
    std::memset(&format, 0, sizeof(format));
    vorbis_info* info = file ? ov_info(file, -1) : nullptr;
    if (!info || info->channels < 1 || info->channels > 2) return false;
    if (info->rate < (long)minRate || info->rate > (long)maxRate) return false;
    format.channels = (unsigned)info->channels;
    format.rate = (unsigned)info->rate;
    format.blockAlign = format.channels * 2;
    format.bytesPerSecond = format.rate * format.blockAlign;
    return true;
}

uint64_t DecodedSoundBytes(OggVorbis_File* file, const SoundFormat& format, uint64_t limit) {
    ogg_int64_t samples = file ? ov_pcm_total(file, -1) : 0;
    uint64_t bytes = samples > 0 ? (uint64_t)samples * format.blockAlign : 0;
    return bytes <= limit ? bytes : 0;
}

bool DecodeSoundInto(OggVorbis_File* file, unsigned char* out, unsigned size) {
    unsigned filled = 0;
    int holes = 0;
    bool ok = true;
    while (filled < size) {
        unsigned step = size - filled < 4096 ? size - filled : 4096;
        int section = 0;
        long got = ov_read(file, reinterpret_cast<char*>(out + filled), (int)step, 0, 2, 1, &section);
        if (got > 0) {
            filled += (unsigned)got;
        } else if (got == 0) {
            break;
        } else if (got != OV_HOLE || ++holes > kMaxSoundHoles) {
            ok = false;
            break;
        }
    }
    // A file shorter than its header claimed ends in silence.
    if (filled < size) std::memset(out + filled, 0, size - filled);
    return ok;
}

bool ReadSoundCatalog(SoundCatalogEntry add, void* context, char* error, size_t errorSize) {
    int id = g_fileSystem.GetFileId("AUDIO");
    if (!id) {
        std::snprintf(error, errorSize, "%s", g_fileSystem.GetError());
        return false;
    }
    TiXmlDocument doc;
    if (!g_fileSystem.LoadXml(id, &doc)) {
        if (doc.Error()) {
            const char* path = g_fileSystem.GetPath(id);
            const char* desc = doc.ErrorDesc();
            std::snprintf(error, errorSize, "%s(%i,%i): %s", path ? path : "", doc.ErrorRow(), doc.ErrorCol(),
                          desc ? desc : "");
        } else {
            // Listed in the manifest, but neither on disk nor in the archive.
            std::snprintf(error, errorSize, "%s", g_fileSystem.GetError());
        }
        return false;
    }
    TiXmlElement* root = doc.RootElement();
    if (!root) return true;
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
        if (!add(context, e->Value(), e->Attribute("name"), e->Attribute("source_file"))) return false;
    return true;
}
