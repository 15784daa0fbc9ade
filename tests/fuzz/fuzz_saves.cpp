// The save files: the input holds a ".set", a ".gam" and a ".ai" one after
// the other (split at the first two "\n--\n" marks, or all of it as the
// players' file); they are loaded as at a start, saved, and loaded again,
// which must give the same players.
#include <cstring>

#include "fuzz_support.h"
#include "game_data.h"

namespace {
// The next part of the input up to a separator (or the rest).
std::string Part(const uint8_t*& p, const uint8_t* end) {
    static const char kSeparator[] = "\n--\n";
    const uint8_t* at = static_cast<const uint8_t*>(memmem(p, end - p, kSeparator, 4));
    std::string part(reinterpret_cast<const char*>(p), (at ? at : end) - p);
    p = at ? at + 4 : end;
    return part;
}
void Write(const char* name, const std::string& bytes) {
    WriteFuzzFile(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    std::string first = Part(p, end);
    std::string settings, players, computers;
    if (p == end) {
        players = first;
    } else {
        settings = first;
        players = Part(p, end);
        computers = std::string(reinterpret_cast<const char*>(p), end - p);
    }
    Write(kSettingsFile, settings);
    Write(kGameFile, players);
    Write(kComputerFile, computers);
    std::remove((FuzzFolder() + kGameFile + ".bad").c_str());

    int humans, computerCount;
    {
        GameData gd;
        gd.SetSaveDirectory(FuzzFolder().c_str());
        gd.LoadAll();
        humans = gd.profiles.GetCount(LIST_HUMANS);
        computerCount = gd.profiles.GetCount(LIST_COMPUTERS);
        if (!gd.Save()) __builtin_trap();
    }
    GameData again;
    again.SetSaveDirectory(FuzzFolder().c_str());
    again.LoadAll();
    if (again.profiles.GetCount(LIST_HUMANS) != humans || again.profiles.GetCount(LIST_COMPUTERS) != computerCount)
        __builtin_trap();
    return 0;
}
