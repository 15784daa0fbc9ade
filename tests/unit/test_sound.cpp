// The sound system: the "AUDIO" catalogue, effects and streams played through
// DirectSound (Wine's, on a null ALSA device), on Ogg Vorbis data made here.
#include "file_system.h"
#include "renderer.h"
#include "sound_system.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tinyxml.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- Ogg Vorbis data for the tests ----

// A tune whose pitch changes every 50 ms, so that data from one place in it
// never passes for data from another.
std::vector<float> Tune(double seconds, int channels, int rate) {
    size_t frames = (size_t)(seconds * rate);
    std::vector<float> pcm(frames * channels);
    double phase = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        int segment = (int)(i * 20 / rate);
        double freq = 220.0 + 37.0 * (segment % 23);
        phase += 2.0 * M_PI * freq / rate;
        for (int c = 0; c < channels; ++c) pcm[i * channels + c] = (float)(0.5 * std::sin(phase + c));
    }
    return pcm;
}

// smallPages puts every packet on a page of its own, so that a file cut
// anywhere still holds most of its sound.
std::string EncodeOgg(const std::vector<float>& pcm, int channels, int rate, bool smallPages = false) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.3f) != 0) {
        vorbis_info_clear(&vi);
        return std::string();
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 4242);

    std::string out;
    ogg_page page;
    auto take = [&](ogg_page& p) {
        out.append(reinterpret_cast<char*>(p.header), p.header_len);
        out.append(reinterpret_cast<char*>(p.body), p.body_len);
    };
    ogg_packet id, comment, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &id, &comment, &codebooks);
    ogg_stream_packetin(&os, &id);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page)) take(page);

    size_t frames = pcm.size() / channels, pos = 0;
    for (;;) {
        size_t n = frames - pos < 1024 ? frames - pos : 1024;
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, (int)n);
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) buffer[c][i] = pcm[(pos + i) * channels + c];
            vorbis_analysis_wrote(&vd, (int)n);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (smallPages ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) take(page);
            }
        }
        if (n == 0) break;
        pos += n;
    }
    while (ogg_stream_flush(&os, &page)) take(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// The whole file decoded the way the game decodes it: the bytes a buffer
// should hold.
std::string DecodeFile(const std::string& path) {
    OggVorbis_File vf;
    std::string out;
    if (ov_fopen(path.c_str(), &vf) != 0) return out;
    char chunk[4096];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, chunk, sizeof(chunk), 0, 2, 1, &section)) > 0) out.append(chunk, got);
    ov_clear(&vf);
    return out;
}

std::string ReadBuffer(IDirectSoundBuffer* buffer, DWORD offset, DWORD bytes) {
    void *a = nullptr, *b = nullptr;
    DWORD an = 0, bn = 0;
    std::string out;
    if (FAILED(buffer->Lock(offset, bytes, &a, &an, &b, &bn, 0))) return out;
    out.append(static_cast<char*>(a), an);
    if (b) out.append(static_cast<char*>(b), bn);
    buffer->Unlock(a, an, b, bn);
    return out;
}

std::string WholeBuffer(IDirectSoundBuffer* buffer) {
    DSBCAPS caps;
    caps.dwSize = sizeof(caps);
    if (FAILED(buffer->GetCaps(&caps))) return std::string();
    return ReadBuffer(buffer, 0, caps.dwBufferBytes);
}

// The reference stream from byte position `at` on, wrapped when looping.
std::string Expected(const std::string& ref, uint64_t at, size_t n, bool loop) {
    std::string out;
    if (ref.empty()) return out;
    uint64_t p = loop ? at % ref.size() : at;
    while (out.size() < n) {
        if (p >= ref.size()) {
            if (!loop) break;
            p = 0;
        }
        size_t take = ref.size() - (size_t)p;
        if (take > n - out.size()) take = n - out.size();
        out.append(ref, (size_t)p, take);
        p += take;
    }
    return out;
}

// Samples equal within a hair (the same decoder on the same data).
::testing::AssertionResult SamePcm(const std::string& want, const std::string& got) {
    if (want.size() != got.size())
        return ::testing::AssertionFailure() << "sizes " << want.size() << " vs " << got.size();
    for (size_t i = 0; i + 1 < want.size(); i += 2) {
        int a = (short)((unsigned char)want[i] | ((unsigned char)want[i + 1] << 8));
        int b = (short)((unsigned char)got[i] | ((unsigned char)got[i + 1] << 8));
        if (std::abs(a - b) > 4) return ::testing::AssertionFailure() << "sample " << i / 2 << ": " << a << " vs " << b;
    }
    return ::testing::AssertionSuccess();
}

bool AllZero(const std::string& bytes) {
    for (char c : bytes)
        if (c) return false;
    return true;
}

// ---- Fixture: a game folder with a manifest, sound files and a window ----

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("snd");
        window = CreateWindowA("STATIC", "sound test", WS_OVERLAPPED, 0, 0, 64, 64, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        g_renderer.frameTime = 1.0f / 35.0f;
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
    }
    void TearDown() override {
        g_soundSystem.Shutdown();
        g_fileSystem.Shutdown();
        if (window) DestroyWindow(window);
    }

    // A sound file under this label (and file name label.ogg).
    void AddFile(const std::string& label, const std::string& bytes) {
        ASSERT_TRUE(WriteWholeFile(dir + label + ".ogg", bytes));
        files.push_back(label);
    }
    std::string PathOf(const std::string& label) { return dir + label + ".ogg"; }
    void AddTune(const std::string& label, double seconds, int channels = 1, int rate = 22050) {
        AddFile(label, EncodeOgg(Tune(seconds, channels, rate), channels, rate));
    }

    // The manifest (AUDIO first when given) and the file system.
    void LoadManifest(const char* catalog, bool listAudio = true) {
        std::string xml = "<manifest res_path=\"" + dir + "\"><group path=\"\">";
        if (listAudio) xml += "<file label=\"AUDIO\" path=\"audio.xml\"/>";
        for (const std::string& f : files) xml += "<file label=\"" + f + "\" path=\"" + f + ".ogg\"/>";
        xml += "</group></manifest>";
        ASSERT_TRUE(WriteWholeFile(dir + "Quorvane.xml", xml));
        if (catalog) {
            ASSERT_TRUE(WriteWholeFile(dir + "audio.xml", catalog));
        }
        ASSERT_TRUE(g_fileSystem.Load((dir + "Quorvane.xml").c_str()));
    }
    bool Start(const char* catalog) {
        LoadManifest(catalog);
        return g_soundSystem.Init(window);
    }

    // Updates once per frame (20 ms) until done() or the time is up.
    template <typename Done>
    bool RunUntil(Done done, int millis) {
        for (int t = 0; t < millis; t += 20) {
            g_soundSystem.Update();
            if (done()) return true;
            Sleep(20);
        }
        return false;
    }
    void Frames(int millis) {
        RunUntil([] { return false; }, millis);
    }

    StreamSoundInstance* PlayStream(const char* name, int loop, float volume = 1.0f) {
        return dynamic_cast<StreamSoundInstance*>(g_soundSystem.Play(name, volume, loop));
    }

    std::string Error() { return g_soundSystem.GetError(); }

    std::string dir;
    std::vector<std::string> files;
    HWND window = nullptr;
};

// ---- Catalogue and errors ----

TEST_F(SoundTest, CatalogueKeepsEveryElementWithItsTypeInOrder) {
    AddTune("CLICK", 0.1);
    ASSERT_TRUE(Start("<sounds>\n"
                      "  <sound name=\"CLICK\" source_file=\"CLICK\"/>\n"
                      "  <!-- a comment is no source -->\n"
                      "  <stream name=\"MUSIC\" source_file=\"CLICK\"/>\n"
                      "  <music name=\"ODD\" source_file=\"CLICK\"/>\n"
                      "  <sound source_file=\"CLICK\"/>\n"
                      "  <Sound name=\"UPPER\"/>\n"
                      "  <sound name=\"NOFILE\"/>\n"
                      "</sounds>"))
        << Error();
    ASSERT_EQ(6u, g_soundSystem.GetSourceCount());
    const int types[5] = {SOUND_SOURCE_EFFECT, SOUND_SOURCE_STREAM, SOUND_SOURCE_OTHER, SOUND_SOURCE_EFFECT,
                          SOUND_SOURCE_OTHER};
    for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(types[i], g_soundSystem.GetSource(i)->type) << i;
    EXPECT_STREQ("CLICK", g_soundSystem.GetSource(0)->sourceFile);
    EXPECT_EQ(nullptr, g_soundSystem.GetSource(3)->name);        // missing name
    EXPECT_EQ(nullptr, g_soundSystem.GetSource(5)->sourceFile);  // missing file label
    EXPECT_EQ(g_soundSystem.GetSource(1), g_soundSystem.FindSource("MUSIC"));
    EXPECT_EQ(nullptr, g_soundSystem.FindSource("music"));  // exact case

    // An entry of another kind is kept but never plays.
    EXPECT_EQ(nullptr, g_soundSystem.Play("ODD", 1.0f, 0));
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());

    // An unknown name reports itself; a nameless entry is never found.
    EXPECT_EQ(nullptr, g_soundSystem.Play("NOPE", 1.0f, 0));
    EXPECT_EQ("Source Sound <NOPE> not found", Error());
    EXPECT_EQ(nullptr, g_soundSystem.Play(nullptr, 1.0f, 0));
    EXPECT_EQ("Source Sound <> not found", Error());
    std::string longName(3000, 'q');
    EXPECT_EQ(nullptr, g_soundSystem.Play(longName.c_str(), 1.0f, 0));
    EXPECT_EQ(1023u, Error().size());
    EXPECT_EQ(0u, Error().find("Source Sound <qqq"));

    // A sound without a file label plays nothing and leaves at once.
    SoundInstance* silent = g_soundSystem.Play("NOFILE", 1.0f, 0);
    ASSERT_NE(nullptr, silent);
    EXPECT_EQ(nullptr, silent->GetBuffer());
    g_soundSystem.Update();
    EXPECT_EQ(SOUND_FINISHED, silent->GetState());
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
}

TEST_F(SoundTest, StartUpErrorsNameTheMissingOrBrokenCatalogue) {
    // No "AUDIO" in the manifest: the file system's message.
    LoadManifest(nullptr, false);
    EXPECT_FALSE(g_soundSystem.Init(window));
    EXPECT_EQ("File <AUDIO> not found", Error());
    g_soundSystem.Shutdown();

    // Listed, but the file is not there.
    LoadManifest(nullptr, true);
    std::remove((dir + "audio.xml").c_str());
    EXPECT_FALSE(g_soundSystem.Init(window));
    EXPECT_EQ("File <" + dir + "audio.xml> not found, file ID = 1.", Error());
    g_soundSystem.Shutdown();

    // Malformed: the position counts from 1, with TinyXML's description.
    const char* broken = "<sounds>\n  <sound name=\"A\" source_file=\"A\"/>\n  <sound name=\"B\n</sounds>\n";
    TiXmlDocument probe;
    probe.Parse(broken);
    ASSERT_TRUE(probe.Error());
    EXPECT_FALSE(Start(broken));
    EXPECT_EQ(dir + "audio.xml(" + std::to_string(probe.ErrorRow()) + "," + std::to_string(probe.ErrorCol()) +
                  "): " + probe.ErrorDesc(),
              Error());
    EXPECT_EQ(0u, g_soundSystem.GetSourceCount());
    g_soundSystem.Shutdown();

    // An empty catalogue file is a parse error too, never a crash.
    EXPECT_FALSE(Start(""));
    EXPECT_NE(std::string::npos, Error().find("audio.xml(")) << Error();

    // A catalogue without entries starts fine, and a second Init replaces the first.
    EXPECT_TRUE(Start("<sounds/>")) << Error();
    EXPECT_TRUE(Start("<sounds><sound name=\"A\" source_file=\"A\"/></sounds>")) << Error();
    EXPECT_EQ(1u, g_soundSystem.GetSourceCount());
}

TEST_F(SoundTest, VolumeIsClampedAndSetAsAttenuation) {
    EXPECT_EQ(-10000, SoundInstance::ToDirectSoundVolume(0.0f));
    EXPECT_EQ(-10000, SoundInstance::ToDirectSoundVolume(-3.0f));
    EXPECT_EQ(-10000, SoundInstance::ToDirectSoundVolume(std::nanf("")));
    EXPECT_EQ(-10000, SoundInstance::ToDirectSoundVolume(0.00001f));
    EXPECT_EQ(0, SoundInstance::ToDirectSoundVolume(1.0f));
    EXPECT_EQ(0, SoundInstance::ToDirectSoundVolume(5.0f));
    EXPECT_EQ(-602, SoundInstance::ToDirectSoundVolume(0.5f));

    AddTune("A", 1.0);
    ASSERT_TRUE(Start("<s><sound name=\"FX\" source_file=\"A\"/><stream name=\"MU\" source_file=\"A\"/></s>"));
    SoundInstance* fx = g_soundSystem.Play("FX", 0.5f, 1);
    SoundInstance* mu = g_soundSystem.Play("MU", 2.0f, 1);
    ASSERT_TRUE(fx && fx->GetBuffer() && mu && mu->GetBuffer());
    LONG v = 1;
    fx->GetBuffer()->GetVolume(&v);
    EXPECT_EQ(-602, v);
    EXPECT_FLOAT_EQ(0.5f, fx->GetVolume());
    EXPECT_FLOAT_EQ(1.0f, mu->GetVolume());
    mu->GetBuffer()->GetVolume(&v);
    EXPECT_EQ(0, v);

    // The options screen's change: every instance but the music.
    g_soundSystem.SetVolumeAll(0.0f, mu);
    fx->GetBuffer()->GetVolume(&v);
    EXPECT_EQ(-10000, v);
    EXPECT_FLOAT_EQ(0.00001f, fx->GetVolume());
    EXPECT_FLOAT_EQ(1.0f, mu->GetVolume());
}

// ---- Effects ----

TEST_F(SoundTest, EffectsDecodeOnceAndPlayFromDuplicates) {
    AddTune("DING", 0.3, 2, 22050);
    ASSERT_TRUE(Start("<s><sound name=\"DING\" source_file=\"DING\"/></s>")) << Error();
    SoundSource* source = g_soundSystem.FindSource("DING");
    EXPECT_EQ(nullptr, source->buffer);  // not before the first play

    SoundInstance* first = g_soundSystem.Play("DING", 1.0f, 0);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, source->buffer);
    IDirectSoundBuffer* decoded = source->buffer;
    SoundInstance* second = g_soundSystem.Play("DING", 1.0f, 0);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(decoded, source->buffer);
    EXPECT_EQ(1u, source->decodeCount);
    EXPECT_NE(first, second);
    EXPECT_NE(first->GetBuffer(), second->GetBuffer());
    EXPECT_NE(decoded, first->GetBuffer());
    EXPECT_EQ(2u, g_soundSystem.GetInstanceCount());
    EXPECT_EQ(SOUND_PLAYING_ONCE, first->GetState());

    // The decoded buffer holds exactly the file's samples, in its format.
    EXPECT_TRUE(SamePcm(DecodeFile(PathOf("DING")), WholeBuffer(decoded)));
    WAVEFORMATEX format;
    decoded->GetFormat(&format, sizeof(format), nullptr);
    EXPECT_EQ(2, format.nChannels);
    EXPECT_EQ(22050u, format.nSamplesPerSec);
    EXPECT_EQ(16, format.wBitsPerSample);

    // Both end by themselves and leave at the update after that.
    SoundInstance* keep = first;
    ASSERT_TRUE(RunUntil([&] { return first->GetState() == SOUND_FINISHED; }, 3000));
    EXPECT_TRUE(g_soundSystem.IsPlaying(keep));  // finished, not yet released
    ASSERT_TRUE(RunUntil([&] { return g_soundSystem.GetInstanceCount() == 0; }, 1000));
    EXPECT_FALSE(g_soundSystem.IsPlaying(keep));
    EXPECT_EQ(nullptr, keep);
    SoundInstance* none = nullptr;
    EXPECT_FALSE(g_soundSystem.IsPlaying(none));

    // The source keeps its buffer for the next play.
    EXPECT_EQ(decoded, source->buffer);
}

TEST_F(SoundTest, LoopingEffectPlaysOnUntilStoppedOrFaded) {
    AddTune("HUM", 0.2);
    ASSERT_TRUE(Start("<s><sound name=\"HUM\" source_file=\"HUM\"/></s>"));
    SoundInstance* hum = g_soundSystem.Play("HUM", 1.0f, 1);
    ASSERT_TRUE(hum && hum->GetBuffer());
    EXPECT_EQ(SOUND_PLAYING_LOOPED, hum->GetState());
    Frames(600);  // three times its length
    EXPECT_EQ(SOUND_PLAYING_LOOPED, hum->GetState());
    DWORD status = 0;
    hum->GetBuffer()->GetStatus(&status);
    EXPECT_TRUE(status & DSBSTATUS_LOOPING);

    hum->Stop();
    EXPECT_EQ(SOUND_FINISHED, hum->GetState());
    hum->GetBuffer()->GetStatus(&status);
    EXPECT_FALSE(status & DSBSTATUS_PLAYING);  // silent at once
    hum->FadeOut();
    EXPECT_EQ(SOUND_FINISHED, hum->GetState());  // no way back from finished
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());

    // A looping effect that fades out goes quiet and finishes.
    SoundInstance* loud = g_soundSystem.Play("HUM", 1.0f, 1);
    loud->FadeOut();
    int frames = 0;
    while (loud->GetState() != SOUND_FINISHED && frames < 100) {
        g_soundSystem.Update();
        ++frames;
    }
    EXPECT_NEAR(35, frames, 1);  // a second at full volume
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());

    // A short effect asked to fade plays on, as loud, until its end.
    SoundInstance* once = g_soundSystem.Play("HUM", 1.0f, 0);
    once->FadeOut();
    Frames(10);
    EXPECT_EQ(SOUND_FADING_OUT, once->GetState());
    EXPECT_FLOAT_EQ(1.0f, once->GetVolume());
    once->GetBuffer()->GetStatus(&status);
    EXPECT_TRUE(status & DSBSTATUS_PLAYING);
    Frames(600);  // well past its 0.2 s
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
}

TEST_F(SoundTest, PausesNestAndStopAllEndsEverything) {
    AddTune("HUM", 0.2);
    ASSERT_TRUE(Start("<s><sound name=\"HUM\" source_file=\"HUM\"/><stream name=\"MU\" source_file=\"HUM\"/></s>"));
    SoundInstance* fx = g_soundSystem.Play("HUM", 1.0f, 1);
    SoundInstance* mu = g_soundSystem.Play("MU", 1.0f, 1);
    ASSERT_TRUE(fx->GetBuffer() && mu->GetBuffer());
    auto playing = [](SoundInstance* s) {
        DWORD status = 0;
        s->GetBuffer()->GetStatus(&status);
        return (status & DSBSTATUS_PLAYING) != 0;
    };

    g_soundSystem.PauseAll();
    g_soundSystem.PauseAll();
    EXPECT_EQ(3u, fx->GetPauseCount());
    EXPECT_FALSE(playing(fx));
    EXPECT_FALSE(playing(mu));
    Frames(300);  // nothing moves while paused
    EXPECT_EQ(SOUND_PLAYING_LOOPED, fx->GetState());
    EXPECT_EQ(SOUND_PLAYING_LOOPED, mu->GetState());
    g_soundSystem.ResumeAll();
    EXPECT_EQ(1u, fx->GetPauseCount());
    EXPECT_FALSE(playing(fx));
    g_soundSystem.ResumeAll();
    EXPECT_EQ(0u, fx->GetPauseCount());
    EXPECT_TRUE(playing(fx));
    EXPECT_TRUE(playing(mu));
    // The paused time is no stall for the stream.
    Frames(100);
    EXPECT_EQ(0u, static_cast<StreamSoundInstance*>(mu)->GetResyncCount());

    g_soundSystem.StopAll();
    EXPECT_EQ(SOUND_FINISHED, fx->GetState());
    EXPECT_EQ(SOUND_FINISHED, mu->GetState());
    g_soundSystem.ResumeAll();  // a stopped sound does not come back
    EXPECT_FALSE(playing(fx));
    EXPECT_FALSE(playing(mu));
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
}

// ---- Streams ----

TEST_F(SoundTest, LoopingStreamShorterThanTheRingWrapsSeamlessly) {
    AddTune("LOOP", 0.7);
    ASSERT_TRUE(Start("<s><stream name=\"LOOP\" source_file=\"LOOP\"/></s>"));
    std::string ref = DecodeFile(PathOf("LOOP"));
    ASSERT_FALSE(ref.empty());
    StreamSoundInstance* s = PlayStream("LOOP", 1);
    ASSERT_TRUE(s && s->GetBuffer());
    EXPECT_EQ(22050u * 2 * 2, s->GetRingSize());
    EXPECT_EQ(s->GetRingSize(), s->GetWritten());
    EXPECT_FALSE(s->HasEnded());
    // The whole ring: the tune over and over without a gap.
    EXPECT_TRUE(SamePcm(Expected(ref, 0, s->GetRingSize(), true), WholeBuffer(s->GetBuffer())));

    // Refills keep it so: the ring ahead of the cursor is the tune from there on.
    Frames(1500);
    EXPECT_EQ(SOUND_PLAYING_LOOPED, s->GetState());
    EXPECT_GT(s->GetPlayed(), 0u);
    EXPECT_EQ(s->GetRingSize(), s->GetWritten() - s->GetPlayed());
    unsigned size = s->GetRingSize();
    EXPECT_TRUE(SamePcm(Expected(ref, s->GetPlayed(), size, true),
                        ReadBuffer(s->GetBuffer(), (DWORD)(s->GetPlayed() % size), size)));
    EXPECT_EQ(0u, s->GetResyncCount());
}

TEST_F(SoundTest, StreamPlayedOnceEndsInSilence) {
    AddTune("JINGLE", 0.5, 2);
    ASSERT_TRUE(Start("<s><stream name=\"JINGLE\" source_file=\"JINGLE\"/></s>"));
    std::string ref = DecodeFile(PathOf("JINGLE"));
    StreamSoundInstance* s = PlayStream("JINGLE", 0);
    ASSERT_TRUE(s && s->GetBuffer());
    EXPECT_EQ(SOUND_PLAYING_ONCE, s->GetState());
    ASSERT_TRUE(s->HasEnded());
    EXPECT_EQ(ref.size(), s->GetEnd());
    std::string ring = WholeBuffer(s->GetBuffer());
    EXPECT_TRUE(SamePcm(ref, ring.substr(0, ref.size())));
    EXPECT_TRUE(AllZero(ring.substr(ref.size())));

    SoundInstance* keep = s;
    ASSERT_TRUE(RunUntil([&] { return s->GetState() == SOUND_FINISHED; }, 3000));
    EXPECT_GE(s->GetPlayed(), s->GetEnd());
    g_soundSystem.Update();
    EXPECT_FALSE(g_soundSystem.IsPlaying(keep));
    EXPECT_EQ(nullptr, keep);
}

TEST_F(SoundTest, StreamFadeOutFromHalfVolumeTakesEighteenFrames) {
    AddTune("MUSIC", 3.0);
    ASSERT_TRUE(Start("<s><stream name=\"MUSIC\" source_file=\"MUSIC\"/></s>"));
    SoundInstance* s = g_soundSystem.Play("MUSIC", 0.5f, 1);
    ASSERT_TRUE(s && s->GetBuffer());
    s->FadeOut();
    EXPECT_EQ(SOUND_FADING_OUT, s->GetState());
    for (int frame = 1; frame <= 17; ++frame) {
        g_soundSystem.Update();
        ASSERT_EQ(SOUND_FADING_OUT, s->GetState()) << frame;
    }
    LONG v = 0;
    s->GetBuffer()->GetVolume(&v);
    EXPECT_LT(v, -3000);  // about 1/70 of full amplitude
    g_soundSystem.Update();
    EXPECT_EQ(SOUND_FINISHED, s->GetState());
    s->GetBuffer()->GetVolume(&v);
    EXPECT_EQ(-10000, v);
    EXPECT_EQ(1u, g_soundSystem.GetInstanceCount());
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
}

TEST_F(SoundTest, StalledStreamResumesWithFreshDataNotAStaleLap) {
    AddTune("MUSIC", 3.0);
    ASSERT_TRUE(Start("<s><stream name=\"MUSIC\" source_file=\"MUSIC\"/></s>"));
    std::string ref = DecodeFile(PathOf("MUSIC"));
    StreamSoundInstance* s = PlayStream("MUSIC", 1);
    ASSERT_TRUE(s && s->GetBuffer());
    unsigned size = s->GetRingSize();
    Frames(300);
    uint64_t writtenBefore = s->GetWritten();

    // The frame loop stands still for longer than the ring lasts.
    Sleep(2600);
    g_soundSystem.Update();
    EXPECT_EQ(1u, s->GetResyncCount());
    EXPECT_EQ(size, s->GetWritten() - s->GetPlayed());
    EXPECT_GE(s->GetPlayed(), writtenBefore);
    // Right at the cursor: the tune where the writer had stopped, not the
    // lap that was already heard.
    std::string ahead = ReadBuffer(s->GetBuffer(), (DWORD)(s->GetPlayed() % size), size);
    EXPECT_TRUE(SamePcm(Expected(ref, writtenBefore, size, true), ahead));

    // From there it streams on as usual.
    Frames(500);
    EXPECT_EQ(1u, s->GetResyncCount());
    EXPECT_EQ(SOUND_PLAYING_LOOPED, s->GetState());
    EXPECT_EQ(size, s->GetWritten() - s->GetPlayed());

    // A stream that was only playing out its silence ends instead.
    StreamSoundInstance* once = PlayStream("MUSIC", 0);
    ASSERT_TRUE(once && once->GetBuffer());
    Frames(1500);  // the whole file is in the ring by now
    EXPECT_TRUE(once->HasEnded());
    Sleep(2600);
    g_soundSystem.Update();
    EXPECT_EQ(SOUND_FINISHED, once->GetState());
}

// ---- Bad data ----

TEST_F(SoundTest, EmptyDataNeitherHangsNorLeavesABufferBehind) {
    AddFile("EMPTY", EncodeOgg(std::vector<float>(), 1, 22050));
    ASSERT_TRUE(Start("<s><stream name=\"LOOP\" source_file=\"EMPTY\"/><sound name=\"FX\" source_file=\"EMPTY\"/></s>"));

    // A looping stream without samples cannot rewind its way to data.
    DWORD before = GetTickCount();
    StreamSoundInstance* s = PlayStream("LOOP", 1);
    EXPECT_LT(GetTickCount() - before, 1000u);
    ASSERT_NE(nullptr, s);
    EXPECT_TRUE(s->HasEnded());
    EXPECT_EQ(0u, s->GetEnd());
    if (s->GetBuffer()) {
        EXPECT_TRUE(AllZero(WholeBuffer(s->GetBuffer())));
    }
    g_soundSystem.Update();
    EXPECT_EQ(SOUND_FINISHED, s->GetState());

    // An effect without samples: no buffer, now or on the next play.
    SoundInstance* fx = g_soundSystem.Play("FX", 1.0f, 0);
    ASSERT_NE(nullptr, fx);
    EXPECT_EQ(nullptr, fx->GetBuffer());
    EXPECT_EQ(nullptr, g_soundSystem.FindSource("FX")->buffer);
    EXPECT_EQ("Sound <FX> could not be decoded", Error());
    SoundInstance* again = g_soundSystem.Play("FX", 1.0f, 1);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(nullptr, again->GetBuffer());
    g_soundSystem.Update();
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
}

TEST_F(SoundTest, CorruptOrMissingFilesPlayNothingWithoutCrashing) {
    std::string good = EncodeOgg(Tune(2.5, 1, 22050), 1, 22050, true);
    AddFile("GOOD", good);
    AddFile("GARBAGE", std::string(5000, '\x5a'));
    AddFile("NOTOGG", "OggS but not really, only text");
    // Cut inside its last page.
    AddFile("HALF", good.substr(0, good.rfind("OggS") + 100));
    std::string damaged = good;
    for (size_t i = damaged.size() / 3; i < damaged.size() / 3 + 400; ++i) damaged[i] = (char)(i * 7);
    AddFile("DAMAGED", damaged);
    AddFile("SURROUND", EncodeOgg(Tune(0.2, 3, 22050), 3, 22050));
    ASSERT_TRUE(Start("<s>"
                      "<sound name=\"FX_GARBAGE\" source_file=\"GARBAGE\"/>"
                      "<stream name=\"MU_GARBAGE\" source_file=\"GARBAGE\"/>"
                      "<sound name=\"FX_NOTOGG\" source_file=\"NOTOGG\"/>"
                      "<sound name=\"FX_MISSING\" source_file=\"NOWHERE\"/>"
                      "<stream name=\"MU_MISSING\" source_file=\"NOWHERE\"/>"
                      "<sound name=\"FX_HALF\" source_file=\"HALF\"/>"
                      "<stream name=\"MU_HALF\" source_file=\"HALF\"/>"
                      "<sound name=\"FX_DAMAGED\" source_file=\"DAMAGED\"/>"
                      "<stream name=\"MU_DAMAGED\" source_file=\"DAMAGED\"/>"
                      "<sound name=\"FX_SURROUND\" source_file=\"SURROUND\"/>"
                      "<stream name=\"MU_SURROUND\" source_file=\"SURROUND\"/>"
                      "</s>"))
        << Error();

    // Unreadable data: an instance that plays nothing and leaves at once.
    const char* unplayable[] = {"FX_GARBAGE", "MU_GARBAGE", "FX_NOTOGG", "FX_MISSING",
                                "MU_MISSING", "FX_SURROUND", "MU_SURROUND"};
    for (const char* name : unplayable) {
        SoundInstance* s = g_soundSystem.Play(name, 1.0f, 1);
        ASSERT_NE(nullptr, s) << name;
        EXPECT_EQ(nullptr, s->GetBuffer()) << name;
        s->Pause();
        s->Resume();
        s->SetVolume(0.3f);
        s->FadeOut();
    }
    EXPECT_EQ(nullptr, g_soundSystem.FindSource("FX_GARBAGE")->buffer);
    EXPECT_EQ("Sound <FX_SURROUND> could not be decoded", Error());
    g_soundSystem.Update();
    g_soundSystem.Update();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());

    // Cut or damaged data plays what can be decoded.
    SoundInstance* half = g_soundSystem.Play("FX_HALF", 1.0f, 0);
    ASSERT_NE(nullptr, half);
    EXPECT_NE(nullptr, half->GetBuffer());
    StreamSoundInstance* halfStream = PlayStream("MU_HALF", 0);
    ASSERT_TRUE(halfStream && halfStream->GetBuffer());
    SoundInstance* damagedFx = g_soundSystem.Play("FX_DAMAGED", 1.0f, 0);
    ASSERT_NE(nullptr, damagedFx);
    StreamSoundInstance* damagedStream = PlayStream("MU_DAMAGED", 1);
    ASSERT_NE(nullptr, damagedStream);
    ASSERT_TRUE(RunUntil([&] { return halfStream->GetState() == SOUND_FINISHED; }, 5000));
    EXPECT_GT(halfStream->GetEnd(), 0u);
    EXPECT_LT(halfStream->GetEnd(), DecodeFile(PathOf("GOOD")).size());
    ASSERT_TRUE(RunUntil([&] { return g_soundSystem.GetInstanceCount() == 1; }, 3000));
    EXPECT_EQ(damagedStream, g_soundSystem.GetInstance(0));  // the looping one plays on
}

TEST_F(SoundTest, NothingPlaysAfterShutdown) {
    AddTune("A", 0.5);
    ASSERT_TRUE(Start("<s><sound name=\"FX\" source_file=\"A\"/><stream name=\"MU\" source_file=\"A\"/></s>"));
    SoundInstance* fx = g_soundSystem.Play("FX", 1.0f, 1);
    ASSERT_NE(nullptr, g_soundSystem.Play("MU", 1.0f, 1));
    g_soundSystem.Shutdown();
    EXPECT_EQ(0u, g_soundSystem.GetInstanceCount());
    EXPECT_EQ(0u, g_soundSystem.GetSourceCount());
    EXPECT_EQ(nullptr, g_soundSystem.GetDevice());
    EXPECT_FALSE(g_soundSystem.IsPlaying(fx));
    EXPECT_EQ(nullptr, g_soundSystem.Play("FX", 1.0f, 0));
    EXPECT_EQ("Source Sound <FX> not found", Error());
    g_soundSystem.Update();
    g_soundSystem.PauseAll();
    g_soundSystem.ResumeAll();
    g_soundSystem.Shutdown();
}

// ---- The game's own sounds ----

#ifdef QV_GAME_DIR
// The sounds our tool made for the game, read the way the game reads them:
// through its manifest and data archive. Skipped before the game folder has
// been assembled.
TEST_F(SoundTest, EveryCueTheGameNamesIsMadeAndPlays) {
    std::string game = std::string("Z:") + QV_GAME_DIR;
    for (char& c : game)
        if (c == '/') c = '\\';
    if (!FileExists(game + "\\Quorvane.xml") || !FileExists(game + "\\Quorvane.dat"))
        GTEST_SKIP() << "no game folder at " << game;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(game.c_str()));
    bool loaded = g_fileSystem.Load("Quorvane.xml") && g_soundSystem.Init(window);
    std::string error = Error();

    std::vector<std::pair<std::string, int>> cues = {
        {"WHEEL_CLICK", SOUND_SOURCE_EFFECT},          {"WHEEL_SPIN", SOUND_SOURCE_STREAM},
        {"WHEEL_THINK", SOUND_SOURCE_EFFECT},          {"WHEEL_WRONG", SOUND_SOURCE_EFFECT},
        {"WHEEL_CHANT", SOUND_SOURCE_EFFECT},          {"TIMES_UP", SOUND_SOURCE_EFFECT},
        {"CORRECT_LETTER", SOUND_SOURCE_EFFECT},       {"BEGIN_PUZZLE", SOUND_SOURCE_EFFECT},
        {"VOWELS_LEFT", SOUND_SOURCE_EFFECT},          {"LAND_ON_BANKRUPT", SOUND_SOURCE_EFFECT},
        {"BONUS_QUESTION", SOUND_SOURCE_EFFECT},       {"AUD_HAPPY_4", SOUND_SOURCE_EFFECT},
        {"UI_MENU_TYPING", SOUND_SOURCE_EFFECT},       {"UI_MENU_SLD_UP", SOUND_SOURCE_EFFECT},
        {"UI_MENU_TRPHY_WON_ON", SOUND_SOURCE_EFFECT}, {"UI_MENU_TRPHY_UNWON_ON", SOUND_SOURCE_EFFECT},
        {"GAME_CONS_LET_ON", SOUND_SOURCE_EFFECT},     {"GAME_VWL_LET_ON", SOUND_SOURCE_EFFECT},
        {"GAME_CONS_LET_SEL", SOUND_SOURCE_EFFECT},    {"GAME_VWL_LET_SEL", SOUND_SOURCE_EFFECT},
        {"GAME_PWR_MTR_UP", SOUND_SOURCE_EFFECT},      {"GAME_PWR_MTR_DOWN", SOUND_SOURCE_EFFECT},
        {"GAME_TOSSUP_POPUP", SOUND_SOURCE_EFFECT},    {"GAME_JACKPOTR_INTRO", SOUND_SOURCE_EFFECT},
        {"GAME_MYSTERY_INTRO", SOUND_SOURCE_EFFECT},   {"GAME_INTRO_PRE_CHANT", SOUND_SOURCE_EFFECT},
        {"GAME_OUTRO_LEADUP", SOUND_SOURCE_EFFECT},    {"UI_MENU_BG_LOOP_8BAR", SOUND_SOURCE_STREAM},
        {"GAME_ROUND_BG_LOOP", SOUND_SOURCE_STREAM},   {"GAME_BONUS_BG_LOOP", SOUND_SOURCE_STREAM},
        {"GAME_WIN_JINGLE", SOUND_SOURCE_EFFECT},      {"GAME_LOSE_JINGLE", SOUND_SOURCE_EFFECT},
    };
    const std::pair<const char*, int> families[] = {{"P_AUD_SM_DIS_", 5}, {"P_AUD_LG_DIS_", 4},
                                                    {"P_AUD_CLAP_", 10},  {"P_AUD_CLAP_CHEER_", 3},
                                                    {"P_AUD_EXC_", 8},    {"P_AUD_DIS_CLAP_", 3}};
    for (const auto& family : families)
        for (int i = 1; i <= family.second; ++i)
            cues.push_back({family.first + std::to_string(i), SOUND_SOURCE_EFFECT});

    if (loaded) {
        for (const auto& cue : cues) {
            SoundSource* source = g_soundSystem.FindSource(cue.first.c_str());
            ASSERT_NE(nullptr, source) << cue.first;
            EXPECT_EQ(cue.second, source->type) << cue.first;
            SoundInstance* s = g_soundSystem.Play(cue.first.c_str(), 0.01f, 0);
            ASSERT_NE(nullptr, s) << cue.first;
            EXPECT_NE(nullptr, s->GetBuffer()) << cue.first << " did not decode";
            if (cue.second == SOUND_SOURCE_STREAM) {
                // Music is stereo and not a single beep: its ring fills without an end.
                StreamSoundInstance* stream = static_cast<StreamSoundInstance*>(s);
                EXPECT_EQ(22050u * 2 * 2 * 2, stream->GetRingSize()) << cue.first;
                EXPECT_FALSE(stream->HasEnded()) << cue.first;
            }
            s->Stop();
            g_soundSystem.Update();
        }
    }
    g_soundSystem.Shutdown();
    g_fileSystem.Shutdown();
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(loaded) << error;
}
#endif

}  // namespace
