// The developer shortcuts that keys of the match screen may name.
#pragma once
#include "gui_callbacks.h"

// Whether a developer key may act now: the game runs with its developer
// aids on (DeveloperMode) and nobody is typing, neither a solve (the round
// in its solving state) nor into a text field or a list's name.
bool DeveloperKeysAct();

// A debug command behind that gate: the key press reaches the command only
// when DeveloperKeysAct, else it does nothing (and lets its list go on).
template <GuiCallback command>
bool DeveloperCommand(void* sender, const char* argument) {
    return DeveloperKeysAct() ? command(sender, argument) : true;
}

// Registers the 29 debug commands, in their fixed order (before the menus),
// each behind the gate.
void RegisterDebugCallbacks(CallbackRegistry& registry);

// The avatar animation the next HackPlayAnim plays (0..18).
int DebugAnimationIndex();
