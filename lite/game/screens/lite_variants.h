// The Lite's own handlers for the names whose behaviour differs from the
// game's: the 2D wheel and spin, the sprite avatars, the options without a
// resolution, the avatar editor's gender and "Randomize", "FinishPlayer",
// and the debug commands that have nothing to act on in 2D.
#pragma once

typedef bool (*GuiCallback)(void* sender, const char* argument);

// The Lite's handler for the name, or null where the game's stands.
GuiCallback LiteCallbackVariant(const char* name);
