// Skeletal files: any bytes as a run of records (skeletons, animations,
// skins); what loads is kept in a library and then used: a character
// document is laid over it, plays every animation it holds and is skinned.
// The same bytes are also read as a character document.
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "sk_character.h"
#include "sk_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char kCharacter[] =
        "<character name=\"c\"><skeleton name=\"hi_skeleton\"/><skins><Head skin=\"hi_m_body_head\"/>"
        "<Hands skin=\"hi_m_body_hands\" color=\"1 0.5 0.5 1\"/><Torso skin=\"hi_m_body_torso\"/></skins>"
        "<animation name=\"clap\"/></character>";
    SkLibrary library;
    if (size > 0) {
        FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (f) {
            for (int n = 0; n < 64 && library.ReadRecord(f) == 0; ++n) {
            }
            std::fclose(f);
        }
    }
    for (const std::string& text : {std::string(kCharacter), std::string((const char*)data, size)}) {
        SkCharacter c;
        if (c.LoadXml(text.c_str(), library) != 0) continue;
        for (unsigned i = 0; i < library.GetCount(SK_ANIMATION) && i < 4; ++i) {
            c.Play(static_cast<SkAnimation*>(library.Get(SK_ANIMATION, i)), i % 2, 0.0f, 0.25f);
            for (float t : {-1.0f, 0.0f, 0.1f, 0.6f, 3.0f}) c.Update(t);
        }
    }
    return 0;
}
