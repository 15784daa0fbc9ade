// Sound: every effect and piece of music is Ogg Vorbis data played through
// DirectSound. The "AUDIO" catalogue names each sound; effects ("sound") are
// decoded whole once and played from duplicates of that buffer, music and
// long clips ("stream") are decoded while they play into a two-second ring
// buffer that Update refills once per frame.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>

#include "indexed_list.h"
#include "sound_decode.h"

struct OggVorbis_File;

enum SoundSourceType {
    SOUND_SOURCE_OTHER = 0,   // any other element name: kept, never played
    SOUND_SOURCE_STREAM = 1,  // "stream"
    SOUND_SOURCE_EFFECT = 2,  // "sound"
};

enum SoundState {
    SOUND_PLAYING_ONCE = 0,
    SOUND_PLAYING_LOOPED = 1,
    SOUND_FADING_OUT = 2,
    SOUND_FINISHED = 3,  // removed by the next SoundSystem::Update
};

// One catalogue entry. Lives in an IndexedList, which copies it bytewise and
// zero-fills new nodes, so it has no constructor: Destroy releases it.
struct SoundSource {
    int type;
    char* name;        // the name the game plays it by
    char* sourceFile;  // file label of the Ogg Vorbis data
    IDirectSoundBuffer* buffer;  // effects only: the whole sound, made on first play
    bool decodeFailed;           // a first decode failed: later plays do not try again
    unsigned decodeCount;        // successful decodes (one per source at most)

    // Decodes the whole file into a new buffer. false (and no buffer) when the
    // file is missing, not Ogg Vorbis, empty or damaged.
    bool Decode(IDirectSound* device);
    void Destroy();
};

// A playing sound. The sound system owns every instance; a caller may keep
// the pointer until the instance has finished (SoundSystem::IsPlaying).
class SoundInstance {
public:
    SoundInstance();
    virtual ~SoundInstance();
    virtual void Open();
    virtual void Close();
    virtual void Update();
    // loop: 1 loops, any other value plays once.
    virtual bool Play(int loop);
    // Pauses nest: n Pauses need n Resumes.
    virtual void Pause();
    virtual void Resume();
    virtual void Stop();
    // Lowers the volume by the frame time each frame, then stops: a sound at
    // full volume fades out in about a second.
    virtual void FadeOut();

    // v is kept within [0.00001, 1] and set as attenuation in hundredths of
    // a decibel: 2000 x log10(v), down to DSBVOLUME_MIN.
    void SetVolume(float v);
    static LONG ToDirectSoundVolume(float v);

    SoundSource* GetSource() const { return source; }
    IDirectSoundBuffer* GetBuffer() const { return buffer; }
    int GetState() const { return state; }
    float GetVolume() const { return volume; }
    unsigned GetPauseCount() const { return pauseCount; }

protected:
    friend class SoundSystem;
    // The fade step shared by both kinds: true once the sound has faded out
    // (state finished, buffer stopped).
    bool StepFade();

    SoundSource* source = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    int state = SOUND_PLAYING_ONCE;
    float volume = 1.0f;
    unsigned pauseCount = 0;
    bool looping = false;  // Play's loop flag, kept while the state says fading
};

// An effect: a duplicate of its source's decoded buffer.
class StaticSoundInstance : public SoundInstance {
public:
    ~StaticSoundInstance() override;
    void Open() override;
    void Close() override;
    void Update() override;
    bool Play(int loop) override;
    void Pause() override;
    void Resume() override;
};

// Music or a long clip, decoded while it plays into a two-second ring buffer.
// The counters are running totals in bytes, never wrapped.
class StreamSoundInstance : public SoundInstance {
public:
    ~StreamSoundInstance() override;
    void Open() override;
    void Close() override;
    void Update() override;
    bool Play(int loop) override;
    void Pause() override;
    void Resume() override;

    unsigned GetRingSize() const { return ringSize; }
    uint64_t GetPlayed() const { return played; }
    uint64_t GetWritten() const { return written; }
    // Where the data ended; meaningful once HasEnded().
    uint64_t GetEnd() const { return end; }
    bool HasEnded() const { return ended; }
    // How often the ring was refilled whole after the play cursor had run
    // past the written data (a stalled frame loop).
    unsigned GetResyncCount() const { return resyncCount; }

    // Milliseconds of a monotonic clock, used to notice that the game did not
    // update the stream for longer than its ring buffer lasts. Tests may
    // replace it.
    static uint32_t (*ClockSource)();

private:
    // Decodes n bytes into region: loops back to the first sample at the end
    // of a looping stream, records the end and writes silence after it
    // otherwise. false on a decoder error (the rest is silence then too).
    bool Fill(unsigned char* region, unsigned n);
    bool FillLocked(DWORD offset, DWORD bytes);
    void Resynchronise(DWORD cursor);
    void StopBuffer();

    OggVorbis_File* decoder = nullptr;
    unsigned ringSize = 0;
    unsigned blockAlign = 4;
    unsigned bytesPerSecond = 0;
    uint64_t played = 0;
    uint64_t written = 0;
    uint64_t end = 0;
    bool ended = false;
    bool decodedSinceRewind = false;
    uint32_t lastUpdate = 0;
    unsigned resyncCount = 0;
};

class SoundSystem {
public:
    SoundSystem();
    ~SoundSystem();

    // DirectSound at priority level for the window, then the "AUDIO"
    // catalogue. false with the reason in GetError().
    bool Init(HWND window);
    void Shutdown();
    // Once per frame: releases finished instances, refills streams, fades.
    void Update();

    // Plays the catalogue sound of that name; null (and the error text) when
    // there is none, or for a catalogue entry of unknown type.
    SoundInstance* Play(const char* name, float volume, int loop);
    SoundSource* FindSource(const char* name);
    SoundInstance* CreateInstance(SoundSource* source, float volume, int loop);
    // false for null; true while the instance is alive; otherwise the
    // caller's variable is set to null.
    bool IsPlaying(SoundInstance*& instance);

    void PauseAll();
    void ResumeAll();
    void StopAll();
    void SetVolumeAll(float volume, SoundInstance* except);

    const char* GetError() const { return error; }
    IDirectSound* GetDevice() const { return device; }
    unsigned GetSourceCount() const { return sources.Count(); }
    SoundSource* GetSource(unsigned i) { return sources.At(i); }
    unsigned GetInstanceCount() const { return instances.Count(); }
    SoundInstance* GetInstance(unsigned i);

private:
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    void SetError(const char* format, ...);
    bool LoadCatalog();
    static bool AddCatalogEntry(void* context, const char* element, const char* name, const char* sourceFile);
    void FreeInstances();
    void FreeSources();

    IDirectSound* device = nullptr;
    IndexedList<SoundSource> sources;
    IndexedList<SoundInstance*> instances;
    HWND window = nullptr;
    char error[1024];
};

extern SoundSystem g_soundSystem;

// 16-bit PCM in the file's channel count and rate; false for a layout that
// DirectSound cannot play (more than two channels, an absurd rate).
bool DescribeSoundFormat(OggVorbis_File* file, WAVEFORMATEX& format);
