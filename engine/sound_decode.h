// The reading half of the sound system: Ogg Vorbis data decoded through the
// file system, and the "AUDIO" catalogue. Nothing here touches the sound
// device; sound_system.cpp and sound_instance.cpp hand the results to it.
#pragma once
#include <cstddef>
#include <cstdint>

struct OggVorbis_File;

// Ogg Vorbis files read through the FileSystem by label. OpenSoundFile gives
// null when the label is unknown, the file missing or not Ogg Vorbis.
OggVorbis_File* OpenSoundFile(const char* label);
void CloseSoundFile(OggVorbis_File*& file);

// What a file decodes to: 16-bit PCM in its channel count and rate.
struct SoundFormat {
    unsigned channels;
    unsigned rate;
    unsigned blockAlign;      // bytes a sample frame
    unsigned bytesPerSecond;
};
// false for a layout that cannot be played: more than two channels, or a
// rate outside minRate..maxRate.
bool ReadSoundFormat(OggVorbis_File* file, SoundFormat& format, unsigned minRate, unsigned maxRate);
// The bytes the whole file decodes to; 0 when unknown, none, or above limit.
uint64_t DecodedSoundBytes(OggVorbis_File* file, const SoundFormat& format, uint64_t limit);
// Decodes from where the file stands into out until size bytes are filled or
// the data ends; the rest of out becomes silence. false on a decoder error
// (a run of more than kMaxSoundHoles damaged pages counts as one).
bool DecodeSoundInto(OggVorbis_File* file, unsigned char* out, unsigned size);
const int kMaxSoundHoles = 64;

// The "AUDIO" catalogue: add is called for each child element of the root,
// in order, with the element's name and its "name" and "source_file"
// attributes (null when absent); false from add stops the reading. false,
// with the message in error, when the document is missing or does not parse.
typedef bool (*SoundCatalogEntry)(void* context, const char* element, const char* name, const char* sourceFile);
bool ReadSoundCatalog(SoundCatalogEntry add, void* context, char* error, size_t errorSize);
