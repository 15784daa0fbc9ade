// The two kinds of playing sound: effects (a duplicate of a decoded buffer)
// and streams (a ring buffer refilled from the decoder every frame).
#include "sound_system.h"

#include "renderer.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

namespace {

const float kMinVolume = 0.00001f;
// Bytes decoded per decoder call.
const unsigned kDecodeStep = 4096;
const int kMaxHoles = 64;

uint32_t SystemClock() { return GetTickCount(); }

}  // namespace

// ---- Base ----

SoundInstance::SoundInstance() {}
SoundInstance::~SoundInstance() {}
void SoundInstance::Open() {}
void SoundInstance::Close() {}
void SoundInstance::Update() {}
bool SoundInstance::Play(int) { return false; }
void SoundInstance::Pause() {}
void SoundInstance::Resume() {}

void SoundInstance::Stop() {
    state = SOUND_FINISHED;
    // Silent at once, not only when the next update releases it.
    if (buffer) buffer->Stop();
}

void SoundInstance::FadeOut() {
    // A finished sound stays finished: fading must not bring it back.
    if (state != SOUND_FINISHED) state = SOUND_FADING_OUT;
}

LONG SoundInstance::ToDirectSoundVolume(float v) {
    if (!(v >= kMinVolume)) v = kMinVolume;  // also catches NaN
    if (v > 1.0f) v = 1.0f;
    double hundredths = 2000.0 * std::log10((double)v);
    LONG result = (LONG)hundredths;  // truncates toward zero
    if (result < DSBVOLUME_MIN) result = DSBVOLUME_MIN;
    if (result > DSBVOLUME_MAX) result = DSBVOLUME_MAX;
    return result;
}

void SoundInstance::SetVolume(float v) {
    if (!(v >= kMinVolume)) v = kMinVolume;
    if (v > 1.0f) v = 1.0f;
    volume = v;
    if (buffer) buffer->SetVolume(ToDirectSoundVolume(v));
}

bool SoundInstance::StepFade() {
    float step = g_renderer.GetCappedFrameTime();
    if (!(step > 0.0f)) step = 0.0f;
    float left = volume - step;
    if (left <= 0.0f) {
        state = SOUND_FINISHED;
        volume = kMinVolume;
        if (buffer) {
            buffer->Stop();
            buffer->SetVolume(DSBVOLUME_MIN);
        }
        return true;
    }
    SetVolume(left);
    return false;
}

// ---- Effects ----

StaticSoundInstance::~StaticSoundInstance() { Close(); }

void StaticSoundInstance::Open() {
    IDirectSound* device = g_soundSystem.GetDevice();
    // No decoded buffer (the file was missing or damaged): nothing to play.
    if (!device || !source || !source->buffer) return;
    if (FAILED(device->DuplicateSoundBuffer(source->buffer, &buffer))) buffer = nullptr;
}

void StaticSoundInstance::Close() {
    if (!buffer) return;
    buffer->Stop();
    buffer->Release();
    buffer = nullptr;
}

bool StaticSoundInstance::Play(int loop) {
    looping = loop == 1;
    state = looping ? SOUND_PLAYING_LOOPED : SOUND_PLAYING_ONCE;
    pauseCount = 0;
    if (!buffer) return false;
    buffer->SetCurrentPosition(0);
    return SUCCEEDED(buffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0));
}

void StaticSoundInstance::Update() {
    if (pauseCount) return;
    if (!buffer) {
        state = SOUND_FINISHED;
        return;
    }
    // An effect played once is short: asked to fade, it plays on as it was
    // until it ends or is stopped. A looping one would never end, so it
    // fades like a stream.
    if (state == SOUND_FADING_OUT && looping && StepFade()) return;
    DWORD status = 0;
    if (FAILED(buffer->GetStatus(&status)) || !(status & DSBSTATUS_PLAYING)) state = SOUND_FINISHED;
}

void StaticSoundInstance::Pause() {
    pauseCount = pauseCount * 2 + 1;
    if (buffer) buffer->Stop();
}

void StaticSoundInstance::Resume() {
    unsigned old = pauseCount;
    pauseCount /= 2;
    if (old < 2 && state != SOUND_FINISHED && buffer) buffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
}

// ---- Streams ----

uint32_t (*StreamSoundInstance::ClockSource)() = SystemClock;

StreamSoundInstance::~StreamSoundInstance() { Close(); }

void StreamSoundInstance::Open() {
    IDirectSound* device = g_soundSystem.GetDevice();
    if (!device || !source) return;
    decoder = OpenSoundFile(source->sourceFile);
    WAVEFORMATEX format;
    if (!decoder || !DescribeSoundFormat(decoder, format)) {
        CloseSoundFile(decoder);
        return;
    }
    blockAlign = format.nBlockAlign;
    bytesPerSecond = format.nAvgBytesPerSec;
    ringSize = bytesPerSecond * 2;

    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    // The exact play cursor: an estimated one runs ahead of the sound, and
    // the refill would then write over data that has not been heard yet.
    desc.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = ringSize;
    desc.lpwfxFormat = &format;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr))) {
        buffer = nullptr;
        CloseSoundFile(decoder);
    }
}

void StreamSoundInstance::Close() {
    CloseSoundFile(decoder);
    if (buffer) {
        buffer->Stop();
        buffer->Release();
        buffer = nullptr;
    }
}

void StreamSoundInstance::StopBuffer() {
    if (buffer) buffer->Stop();
}

bool StreamSoundInstance::Fill(unsigned char* region, unsigned n) {
    unsigned filled = 0;
    bool ok = true;
    int holes = 0;
    while (!ended && filled < n) {
        unsigned want = n - filled < kDecodeStep ? n - filled : kDecodeStep;
        if (want < blockAlign) break;  // never asked for part of a sample
        int section = 0;
        long got = ov_read(decoder, reinterpret_cast<char*>(region + filled), (int)want, 0, 2, 1, &section);
        if (got > 0) {
            filled += (unsigned)got;
            decodedSinceRewind = true;
            continue;
        }
        if (got == OV_HOLE && ++holes <= kMaxHoles) continue;
        // Back to the first sample, unless nothing came since the last time:
        // a stream without data would otherwise rewind forever.
        if (got == 0 && looping && decodedSinceRewind && ov_pcm_seek(decoder, 0) == 0) {
            decodedSinceRewind = false;
            continue;
        }
        // The data ends here: at its real end, or at a decoder error.
        if (got < 0) ok = false;
        ended = true;
        end = written + filled;
    }
    if (filled < n) std::memset(region + filled, 0, n - filled);
    written += n;
    return ok;
}

bool StreamSoundInstance::FillLocked(DWORD offset, DWORD bytes) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    HRESULT hr = buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (hr == DSERR_BUFFERLOST && SUCCEEDED(buffer->Restore()))
        hr = buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (FAILED(hr)) return false;
    if (first) Fill(static_cast<unsigned char*>(first), firstBytes);
    if (second) Fill(static_cast<unsigned char*>(second), secondBytes);
    return SUCCEEDED(buffer->Unlock(first, firstBytes, second, secondBytes));
}

bool StreamSoundInstance::Play(int loop) {
    looping = loop == 1;
    state = looping ? SOUND_PLAYING_LOOPED : SOUND_PLAYING_ONCE;
    pauseCount = 0;
    played = written = end = 0;
    ended = false;
    decodedSinceRewind = false;
    if (!buffer || !decoder) return false;
    ov_pcm_seek(decoder, 0);
    if (!FillLocked(0, ringSize)) return false;
    buffer->SetCurrentPosition(0);
    lastUpdate = ClockSource();
    // The ring always loops; the end of the data is found by the counters.
    return SUCCEEDED(buffer->Play(0, 0, DSBPLAY_LOOPING));
}

void StreamSoundInstance::Resynchronise(DWORD cursor) {
    // Whatever lies in the ring now was heard already. Count the lost laps as
    // played and write fresh data from the play cursor on, the whole ring.
    DWORD writer = (DWORD)(written % ringSize);
    played = written + (cursor >= writer ? cursor - writer : cursor + ringSize - writer);
    written = played;
    FillLocked(cursor, ringSize);
    ++resyncCount;
}

void StreamSoundInstance::Update() {
    if (pauseCount) return;
    if (!buffer || !decoder) {
        state = SOUND_FINISHED;
        StopBuffer();
        return;
    }
    if (state == SOUND_FADING_OUT && StepFade()) return;

    // The ring loops for as long as the stream lives: a buffer that no longer
    // plays was stopped from outside or could not start.
    DWORD status = 0;
    if (FAILED(buffer->GetStatus(&status)) || !(status & DSBSTATUS_PLAYING)) {
        state = SOUND_FINISHED;
        return;
    }

    DWORD cursor = 0;
    if (FAILED(buffer->GetCurrentPosition(&cursor, nullptr)) || cursor >= ringSize) return;

    // The cursor can only be read modulo the ring. When the game has not
    // updated for about as long as the ring lasts (a long frame, a dragged
    // window, a stopped process), the cursor may have lapped the writer and
    // played stale data: start over from the cursor instead of trusting it.
    uint32_t now = ClockSource();
    uint64_t elapsed = (uint64_t)(uint32_t)(now - lastUpdate) * bytesPerSecond / 1000;
    lastUpdate = now;
    uint64_t ahead = written - played;
    DWORD old = (DWORD)(played % ringSize);
    DWORD advance = cursor >= old ? cursor - old : cursor + ringSize - old;
    if (advance >= ahead || elapsed + bytesPerSecond / 20 >= ahead) {
        if (ended) {
            // Only silence was left to play.
            state = SOUND_FINISHED;
            StopBuffer();
            return;
        }
        Resynchronise(cursor);
        return;
    }

    played += advance;
    if (ended && played >= end) {
        state = SOUND_FINISHED;
        StopBuffer();
        return;
    }
    DWORD refill = ringSize - (DWORD)(written - played);
    if (refill) FillLocked((DWORD)(written % ringSize), refill);
}

void StreamSoundInstance::Pause() {
    pauseCount = pauseCount * 2 + 1;
    StopBuffer();
}

void StreamSoundInstance::Resume() {
    unsigned old = pauseCount;
    pauseCount /= 2;
    if (old < 2 && state != SOUND_FINISHED && buffer) {
        // The time spent paused is no stall.
        lastUpdate = ClockSource();
        buffer->Play(0, 0, DSBPLAY_LOOPING);
    }
}
