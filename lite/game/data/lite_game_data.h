// The Lite's first and last steps of the game data: the shared start and
// shutdown of GameData with what the Lite adds around them.
#pragma once

// Random numbers and the "GAME" document (the shared start), then the
// trophy table, which the Lite has no callback to load later, and the
// avatar sprites. Whatever the trophy document holds and whichever avatar
// sprites are missing, the start goes on: always true.
bool StartLiteGameData();
// The shared shutdown (display mode, saves, part textures), then the
// avatar sprites are given back.
void ShutdownLiteGameData();
