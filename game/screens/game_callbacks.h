// The callbacks of the game screens that the "GUI" document names.
#pragma once

class CallbackRegistry;
class SoundInstance;

// Registers the game-screen callbacks, in their fixed order.
const int kGameScreenCallbackCount = 78;
void RegisterGameScreenCallbacks(CallbackRegistry& registry);

// The music playing now (PlayMusic), or null.
extern SoundInstance* g_currentMusic;
// Stops the current music and plays cue looping at the music volume.
void PlayMusicLoop(const char* cue);
