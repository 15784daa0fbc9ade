// The Lite's avatar callbacks, registered by name: the ends of each seat's
// desync, reaction-delay and animation timers, the idle timer and the wait
// for the theme. Each returns true; a seat with nobody on it, or a
// contestant without an avatar, is passed over.
#pragma once

namespace LiteAvatarCallbacks {

// "OnEndTimerDesyncAnim1".."3": the seat's contestant claps (index 36).
bool OnEndTimerDesyncAnim1(void* sender, const char* argument);
bool OnEndTimerDesyncAnim2(void* sender, const char* argument);
bool OnEndTimerDesyncAnim3(void* sender, const char* argument);
// "OnPlayNextAnim1".."3": the seat's queued index plays, and the seat's
// animation timer is armed again.
bool OnPlayNextAnim1(void* sender, const char* argument);
bool OnPlayNextAnim2(void* sender, const char* argument);
bool OnPlayNextAnim3(void* sender, const char* argument);
// "OnEndAnim1".."3": back to rest (9), or for a contestant still in the
// toss-up to the pose of waiting to buzz (4; 5 after a start, index 15).
bool OnEndAnim1(void* sender, const char* argument);
bool OnEndAnim2(void* sender, const char* argument);
bool OnEndAnim3(void* sender, const char* argument);
// "OnTimerPlayIdleAnims": the idle animations, then the idle timer again.
bool OnTimerPlayIdleAnims(void* sender, const char* argument);
// "OnTimerEndWaitForTheme": a one-contestant match's avatar ends its clap
// (index 3), then the round starts.
bool OnTimerEndWaitForTheme(void* sender, const char* argument);

}  // namespace LiteAvatarCallbacks
