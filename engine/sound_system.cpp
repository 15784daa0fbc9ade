#include "sound_system.h"

#include "file_system.h"
#include "sound_decode.h"
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
}  // namespace

// ---- Ogg Vorbis files ----

bool DescribeSoundFormat(OggVorbis_File* file, WAVEFORMATEX& format) {
    std::memset(&format, 0, sizeof(format));
    SoundFormat f;
    if (!ReadSoundFormat(file, f, DSBFREQUENCY_MIN, DSBFREQUENCY_MAX)) return false;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (WORD)f.channels;
    format.nSamplesPerSec = (DWORD)f.rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = (WORD)f.blockAlign;
    format.nAvgBytesPerSec = f.bytesPerSecond;
    return true;
}

// ---- Sources ----

bool SoundSource::Decode(IDirectSound* device) {
    if (buffer) return true;
    if (!device || decodeFailed) return false;

    OggVorbis_File* file = OpenSoundFile(sourceFile);
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof(format));
    bool ok = file && DescribeSoundFormat(file, format);
    SoundFormat layout = {format.nChannels, format.nSamplesPerSec, format.nBlockAlign, format.nAvgBytesPerSec};
    uint64_t bytes = ok ? DecodedSoundBytes(file, layout, kMaxEffectBytes) : 0;
    ok = ok && bytes > 0;

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
            if (!DecodeSoundInto(file, static_cast<unsigned char*>(data), size)) ok = false;
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

bool SoundSystem::LoadCatalog() { return ReadSoundCatalog(AddCatalogEntry, this, error, sizeof(error)); }

bool SoundSystem::AddCatalogEntry(void* context, const char* element, const char* name, const char* sourceFile) {
    SoundSystem* system = static_cast<SoundSystem*>(context);
    SoundSource* source = system->sources.AppendNew();
    if (!source) {
        system->SetError("Out of memory reading the sound catalogue");
        return false;
    }
    source->type = IndexOfString(element, kSourceTypes);
    SetString(source->name, name);
    SetString(source->sourceFile, sourceFile);
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
