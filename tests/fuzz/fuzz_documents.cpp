// The game's XML documents read by the game code: any bytes as the "GAME"
// configuration (tours, wheel values, default high scores), the "TROPHY"
// table, a puzzle and the "AUDIO" catalogue, each loader given the same
// document.
#include <cstring>

#include "fuzz_support.h"
#include "game_data.h"
#include "puzzle.h"
#include "sound_decode.h"
#include "trophies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        LoadFuzzManifest({{"GAME", "document"}, {"TROPHY", "document"}, {"PUZZLE_1", "document"},
                          {"AUDIO", "document"}});
        ready = true;
    }
    WriteFuzzFile("document", data, size);
    {
        GameData gd;
        gd.insertDefaultHighScores = 1;
        gd.LoadConfig();
        for (int length : {3, 5, 7})
            for (int n = 0; n < GameConfig::GetTourCount(length) + 1; ++n) gd.config.GetTour(length, n);
    }
    {
        TrophyTable trophies;
        trophies.Load("TROPHY");
    }
    {
        Puzzle puzzle;
        if (puzzle.Load("PUZZLE_1")) {
            TouchBytes(puzzle.GetHint(), std::strlen(puzzle.GetHint()) + 1);
            TouchBytes(puzzle.GetMessage(), std::strlen(puzzle.GetMessage()) + 1);
            for (int k = 0; k < kPuzzleRows; ++k) TouchBytes(puzzle.GetRow(k), std::strlen(puzzle.GetRow(k)) + 1);
        }
    }
    {
        char error[1024];
        int entries = 0;
        auto add = [](void* context, const char* element, const char* name, const char* file) {
            if (element) TouchBytes(element, std::strlen(element));
            if (name) TouchBytes(name, std::strlen(name));
            if (file) TouchBytes(file, std::strlen(file));
            return ++*static_cast<int*>(context) < 100000;
        };
        if (!ReadSoundCatalog(add, &entries, error, sizeof(error))) TouchBytes(error, std::strlen(error));
    }
    return 0;
}
