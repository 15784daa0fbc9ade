// The developer aids (the match screen's debug keys, the frame-rate line)
// help the game's own developers and its checks along: a player's game has
// none of them. They are on only when the game is started with
// QUORVANE_DEVELOPER=1 in its environment.
#pragma once

// Reads the environment; the game does so once, at start-up.
void ReadDeveloperSwitch();
// Whether the aids are on (off until the switch has been read).
bool DeveloperMode();
// Turns them on or off outright, whatever the environment said (tests).
void SetDeveloperMode(bool on);
