// Ogg Vorbis through the sound system's reading half: any bytes as a sound
// file, decoded whole as an effect is (when its length is within bounds),
// then piece by piece with a rewind at the end as a looping stream is.
#include <vorbis/vorbisfile.h>

#include <cstdlib>

#include "fuzz_support.h"
#include "sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        LoadFuzzManifest({{"SOUND", "sound.ogg"}});
        ready = true;
    }
    WriteFuzzFile("sound.ogg", data, size);
    OggVorbis_File* file = OpenSoundFile("SOUND");
    SoundFormat format;
    if (file && ReadSoundFormat(file, format, 100, 200000)) {
        // Decoded whole, as an effect: at most a few seconds here.
        uint64_t bytes = DecodedSoundBytes(file, format, 1u << 20);
        if (bytes) {
            unsigned char* out = static_cast<unsigned char*>(std::malloc((size_t)bytes));
            if (out) {
                DecodeSoundInto(file, out, (unsigned)bytes);
                TouchBytes(out, (size_t)bytes);
                std::free(out);
            }
        }
        // As a stream: from the start again in small pieces, then round
        // once more as a looping stream goes.
        unsigned char piece[1000];
        const unsigned n = sizeof(piece) - sizeof(piece) % format.blockAlign;
        if (ov_pcm_seek(file, 0) == 0) {
            for (int i = 0; i < 64; ++i)
                if (!DecodeSoundInto(file, piece, n)) break;
            if (ov_pcm_seek(file, 0) == 0) DecodeSoundInto(file, piece, n);
        }
    }
    CloseSoundFile(file);
    return 0;
}
