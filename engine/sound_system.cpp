#include "sound_system.h"

#include "file_system.h"
#include "strings.h"

#include <tinyxml.h>
#include <vorbis/vorbisfile.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

SoundSystem g_soundSystem;

namespace {

const char* const kSourceTypes[] = {"stream", "sound", nullptr};

// An effect is decoded whole into memory; a file that claims more than this
// is damaged or is music that belongs in a stream.
const uint64_t kMaxEffectBytes = 32u * 1024u * 1024u;
// Vorbis reports a damaged page as a hole and carries on after it; this
// many in one run means there is nothing left worth decoding.
const int kMaxHoles = 64;

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

// ---- Ogg Vorbis files ----

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

bool DescribeSoundFormat(OggVorbis_File* file, WAVEFORMATEX& format) {
    std::memset(&format, 0, sizeof(format));
    vorbis_info* info = file ? ov_info(file, -1) : nullptr;
    if (!info || info->channels < 1 || info->channels > 2) return false;
    if (info->rate < DSBFREQUENCY_MIN || info->rate > DSBFREQUENCY_MAX) return false;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (WORD)info->channels;
    format.nSamplesPerSec = (DWORD)info->rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = (WORD)(info->channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return true;
}

// ---- Sources ----

bool SoundSource::Decode(IDirectSound* device) {
    if (buffer) return true;
    if (!device || decodeFailed) return false;

    OggVorbis_File* file = OpenSoundFile(sourceFile);
    WAVEFORMATEX format;
    bool ok = file && DescribeSoundFormat(file, format);
    ogg_int64_t samples = ok ? ov_pcm_total(file, -1) : 0;
    uint64_t bytes = samples > 0 ? (uint64_t)samples * format.nBlockAlign : 0;
    ok = ok && bytes > 0 && bytes <= kMaxEffectBytes;

    if (ok) {
        DSBUFFERDESC desc;
        std::memset(&desc, 0, sizeof(desc));
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY;
        desc.dwBufferBytes = (DWORD)bytes;
        desc.lpwfxFormat = &format;
        if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr))) {
            buffer = nullptr;
            ok = false;
        }
    }

    if (ok) {
        void* data = nullptr;
        DWORD size = 0;
        if (FAILED(buffer->Lock(0, 0, &data, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER)) || !data) {
            ok = false;
        } else {
            unsigned char* out = static_cast<unsigned char*>(data);
            DWORD filled = 0;
            int holes = 0;
            while (filled < size) {
                DWORD step = size - filled < 4096 ? size - filled : 4096;
                int section = 0;
                long got = ov_read(file, reinterpret_cast<char*>(out + filled), (int)step, 0, 2, 1, &section);
                if (got > 0) {
                    filled += (DWORD)got;
                } else if (got == 0) {
                    break;
                } else if (got != OV_HOLE || ++holes > kMaxHoles) {
                    ok = false;
                    break;
                }
            }
            // A file shorter than its header claimed ends in silence.
            if (filled < size) std::memset(out + filled, 0, size - filled);
            if (FAILED(buffer->Unlock(data, size, nullptr, 0))) ok = false;
        }
    }

    CloseSoundFile(file);
    if (!ok) {
        // Never leave a half-made buffer behind for a later play to use.
        if (buffer) buffer->Release();
        buffer = nullptr;
        decodeFailed = true;
        return false;
    }
    ++decodeCount;
    return true;
}

void SoundSource::Destroy() {
    if (buffer) buffer->Release();
    buffer = nullptr;
    SetString(name, nullptr);
    SetString(sourceFile, nullptr);
}

// ---- The sound system ----

SoundSystem::SoundSystem() { error[0] = 0; }

// The process is ending: DirectSound may already be gone, so nothing is
// released here (Shutdown does that while the game still runs).
SoundSystem::~SoundSystem() {}

void SoundSystem::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
    error[sizeof(error) - 1] = 0;
}

bool SoundSystem::Init(HWND w) {
    // A second Init starts again from nothing.
    Shutdown();
    window = w;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr)) || !device) {
        device = nullptr;
        SetError("Direct Sound failed to initialize!");
        return false;
    }
    if (FAILED(device->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        SetError("Setting direct sound cooperative level failed!");
        return false;
    }
    return LoadCatalog();
}

bool SoundSystem::LoadCatalog() {
    int id = g_fileSystem.GetFileId("AUDIO");
    if (!id) {
        SetError("%s", g_fileSystem.GetError());
        return false;
    }
    TiXmlDocument doc;
    if (!g_fileSystem.LoadXml(id, &doc)) {
        if (doc.Error()) {
            const char* path = g_fileSystem.GetPath(id);
            const char* desc = doc.ErrorDesc();
            SetError("%s(%i,%i): %s", path ? path : "", doc.ErrorRow(), doc.ErrorCol(), desc ? desc : "");
        } else {
            // Listed in the manifest, but neither on disk nor in the archive.
            SetError("%s", g_fileSystem.GetError());
        }
        return false;
    }
    TiXmlElement* root = doc.RootElement();
    if (!root) return true;
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        SoundSource* source = sources.AppendNew();
        if (!source) {
            SetError("Out of memory reading the sound catalogue");
            return false;
        }
        source->type = IndexOfString(e->Value(), kSourceTypes);
        SetString(source->name, e->Attribute("name"));
        SetString(source->sourceFile, e->Attribute("source_file"));
    }
    return true;
}

void SoundSystem::FreeInstances() {
    for (unsigned i = 0; i < instances.Count(); ++i) {
        SoundInstance* instance = *instances.At(i);
        instance->Close();
        delete instance;
    }
    instances.Clear();
}

void SoundSystem::FreeSources() {
    for (unsigned i = 0; i < sources.Count(); ++i) sources.At(i)->Destroy();
    sources.Clear();
}

void SoundSystem::Shutdown() {
    FreeInstances();
    FreeSources();
    if (device) device->Release();
    device = nullptr;
    window = nullptr;
}

void SoundSystem::Update() {
    for (unsigned i = 0; i < instances.Count();) {
        SoundInstance* instance = *instances.At(i);
        if (instance->state == SOUND_FINISHED) {
            instance->Close();
            instances.RemoveAt(i);
            delete instance;
            continue;
        }
        instance->Update();
        ++i;
    }
}

SoundSource* SoundSystem::FindSource(const char* name) {
    for (unsigned i = 0; i < sources.Count(); ++i) {
        SoundSource* source = sources.At(i);
        if (StringEquals(source->name, name)) return source;
    }
    return nullptr;
}

SoundInstance* SoundSystem::Play(const char* name, float volume, int loop) {
    SoundSource* source = FindSource(name);
    if (!source) {
        SetError("Source Sound <%s> not found", name ? name : "");
        return nullptr;
    }
    return CreateInstance(source, volume, loop);
}

SoundInstance* SoundSystem::CreateInstance(SoundSource* source, float volume, int loop) {
    if (!source) return nullptr;
    SoundInstance* instance = nullptr;
    if (source->type == SOUND_SOURCE_STREAM) {
        instance = new (std::nothrow) StreamSoundInstance;
    } else if (source->type == SOUND_SOURCE_EFFECT) {
        if (!source->buffer && !source->decodeFailed && !source->Decode(device))
            SetError("Sound <%s> could not be decoded", source->name ? source->name : "");
        instance = new (std::nothrow) StaticSoundInstance;
    } else {
        return nullptr;
    }
    if (!instance) return nullptr;
    if (!instances.Append(instance)) {
        delete instance;
        return nullptr;
    }
    instance->source = source;
    // An instance whose data could not be had opens without a buffer, plays
    // nothing and finishes at its first update.
    instance->Open();
    instance->SetVolume(volume);
    instance->Play(loop);
    return instance;
}

bool SoundSystem::IsPlaying(SoundInstance*& instance) {
    if (!instance) return false;
    for (unsigned i = 0; i < instances.Count(); ++i)
        if (*instances.At(i) == instance) return true;
    instance = nullptr;
    return false;
}

SoundInstance* SoundSystem::GetInstance(unsigned i) {
    SoundInstance** slot = instances.At(i);
    return slot ? *slot : nullptr;
}

void SoundSystem::PauseAll() {
    for (unsigned i = 0; i < instances.Count(); ++i) (*instances.At(i))->Pause();
}

void SoundSystem::ResumeAll() {
    for (unsigned i = 0; i < instances.Count(); ++i) (*instances.At(i))->Resume();
}

void SoundSystem::StopAll() {
    for (unsigned i = 0; i < instances.Count(); ++i) (*instances.At(i))->Stop();
}

void SoundSystem::SetVolumeAll(float volume, SoundInstance* except) {
    for (unsigned i = 0; i < instances.Count(); ++i) {
        SoundInstance* instance = *instances.At(i);
        if (instance != except) instance->SetVolume(volume);
    }
}
