// The game object: settings, data folder, quit request and play time.
// Player profiles, computer contestants and high scores join it as they are
// built.
#pragma once
#include <windows.h>

#include "settings.h"

class GameData {
public:
    GameData();
    ~GameData();
    GameData(const GameData&) = delete;
    GameData& operator=(const GameData&) = delete;

    void SetSaveDirectory(const char* folder);
    const char* GetSaveDirectory() const { return saveDirectory ? saveDirectory : ""; }
    // Full path of a save file in the data folder.
    const char* SavePath(const char* fileName) const;

    void LoadAll();
    bool Start();
    // Writes ".set" and ".gam"; false when either could not be written
    // completely (the old files then stay as they were).
    bool Save();
    void Shutdown();

    bool ApplyDisplayMode(const Settings& wanted);
    void RestoreDisplayMode();

    Settings settings;
    HICON icon = nullptr;
    int frameExtraWidth = 0;
    int frameExtraHeight = 0;
    unsigned char quitRequest = 0;
    float playTime = 0.0f;

private:
    char* saveDirectory = nullptr;
};

extern GameData g_gameData;

// Waits by polling the tick count, as display changes want a short pause.
void BusyWait(DWORD milliseconds);
