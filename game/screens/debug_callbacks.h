// The developer shortcuts that keys of the match screen may name.
#pragma once

class CallbackRegistry;

// Registers the 29 debug commands, in their fixed order (before the menus).
void RegisterDebugCallbacks(CallbackRegistry& registry);

// The avatar animation the next HackPlayAnim plays (0..18).
int DebugAnimationIndex();
