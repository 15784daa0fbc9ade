#include "developer.h"

#include <cstdlib>
#include <cstring>

namespace {
bool s_developer = false;
}  // namespace

void ReadDeveloperSwitch() {
    const char* value = std::getenv("QUORVANE_DEVELOPER");
    s_developer = value && std::strcmp(value, "1") == 0;
}

bool DeveloperMode() { return s_developer; }

void SetDeveloperMode(bool on) { s_developer = on; }
