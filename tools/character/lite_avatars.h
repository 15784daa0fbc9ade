// The Lite edition's avatars: the contestants' own bodies, posed by the
// skeleton, drawn by a small software rasteriser at the size the Lite's
// 800 x 600 screen shows them, and written as sprite packs and sheets.
#pragma once
#include <string>
#include <vector>

#include "body.h"

// A part texture: w x h texels of red, green, blue (0..1), rows top-down.
struct PartPicture {
    int w = 0, h = 0;
    const float* rgb = nullptr;
};
struct DressedPart {
    const MeshData* mesh = nullptr;
    PartPicture picture;
};
// Everything one contestant wears (drawn with depth, in any order).
using Outfit = std::vector<DressedPart>;

struct LiteAvatarOptions {
    std::string outDir;     // packs and sheets
    std::string manifest;   // the manifest fragment that lists them
    std::string group = "avatars/";
    std::string preview;    // when set: every frame on a backdrop, to look at
};

// For each gender (outfits[0] male, outfits[1] female) and each of the six
// animations IDLE, IDLE_SMALL, IDLE_VERYSMALL, CLAP, CLAP_LOOP and CLAP_END,
// a model pack "<gender>_<animation>.mdl" (label MDL_<GENDER>_<ANIMATION>)
// with one part "body" holding one clip "idle", one quad a frame; and a
// sheet a gender for each of IDLE, IDLE_SMALL, IDLE_VERYSMALL and CLAP
// (TEX_<GENDER>_<WORD>), the three clap packs sharing the CLAP sheet.
// false with the reason in error when something cannot be written.
bool WriteLiteAvatars(const Outfit outfits[2], const LiteAvatarOptions& options, std::string& error);
