// The Lite's menu callbacks where they differ from the game's.
#pragma once

// The options' apply button: shown while the window differs from the
// settings (full screen, and in full screen the refresh rate and the
// colour depth; the Lite has no resolution to compare).
void RefreshOptionControls();

bool LiteInitOptions(void* sender, const char* argument);
bool LiteToggleFullscreenWindowed(void* sender, const char* argument);
bool LiteToggleHighQuality(void* sender, const char* argument);
bool LiteModifyRefreshRate(void* sender, const char* argument);
bool LiteApplyVideo(void* sender, const char* argument);
bool LiteToggleVSync(void* sender, const char* argument);
bool LiteChangeGender(void* sender, const char* argument);
bool LiteRandomize(void* sender, const char* argument);
bool LiteFinishPlayer(void* sender, const char* argument);
