// The game object: settings, data folder, the contestants and their save
// files, the "GAME" configuration, high scores, trophies and play time.
#pragma once
#include <windows.h>

#include <string>

#include "game_config.h"
#include "high_scores.h"
#include "profiles.h"
#include "settings.h"
#include "trophies.h"

class SoundInstance;
struct Texture;

// Colours a body part can come in at most.
const int kMaxPartColours = 40;
// Where the character records and documents lie, read by path.
extern const char kCharacterFolder[];

// Save files: ".set" and ".gam" in the data folder, ".ai" beside the game.
extern const char kSettingsFile[];
extern const char kGameFile[];
extern const char kComputerFile[];

class GameData {
public:
    GameData();
    ~GameData();
    GameData(const GameData&) = delete;
    GameData& operator=(const GameData&) = delete;

    // This edition's save and contestant files: kSettingsFile, kGameFile
    // and kComputerFile unless the edition names its own before LoadAll.
    const char* settingsFile = kSettingsFile;
    const char* gameFile = kGameFile;
    const char* computerFile = kComputerFile;

    void SetSaveDirectory(const char* folder);
    const char* GetSaveDirectory() const { return saveDirectory ? saveDirectory : ""; }
    // Full path of a save file in the data folder.
    std::string SavePath(const char* fileName) const;

    // Settings, computer contestants, player profiles and high scores. A
    // missing, short or damaged file gives the defaults (and empty lists)
    // and is never half taken; a damaged ".gam" is kept as ".gam.bad".
    void LoadAll();
    bool Start();
    // The "GAME" document; fills the high scores from its defaults when
    // ".gam" had none.
    void LoadConfig();
    // Writes ".set" and ".gam" (each even when the other fails); false when
    // either could not be written completely. A file is replaced only by a
    // complete new one.
    bool Save();
    void Shutdown();
    // Characters, avatar part textures and models, and the trophy table.
    void LoadCharacters();
    // The characters and part textures alone, once (an avatar bound before
    // the start command ran asks for them).
    void EnsureCharacters() { LoadCharacterParts(); }
    // One frame's time, no more than the renderer's cap.
    void AddPlayTime();

    bool ApplyDisplayMode(const Settings& wanted);
    void RestoreDisplayMode();

    // Enters a score into the mode's table (insertion rule of the tables).
    bool AddHighScore(PlayerProfile* profile, int score, int mode);
    void InsertDefaultHighScores();
    void InsertDefaultHighScoresFor(int mode);
    // The profile of a high-score entry or opponent slot; kind -1 means the
    // current list.
    PlayerProfile* FindProfile(int kind, int index);
    // Deletes human profile index with its high scores: the tables that lose
    // an entry get their defaults again, later human entries move down, and
    // the profile before it (or the first) becomes the current one.
    bool DeleteHumanProfile(int index);

    Settings settings;
    HighScoreTables highScores;
    HighScoreTables defaultHighScores;
    GameConfig config;
    ProfileManager profiles;
    TrophyTable trophies;
    PlayerProfile* currentProfile = nullptr;
    HICON icon = nullptr;
    int frameExtraWidth = 0;
    int frameExtraHeight = 0;
    unsigned char quitRequest = 0;
    unsigned char insertDefaultHighScores = 0;
    float playTime = 0.0f;
    SoundInstance* voiceClip = nullptr;
    int partStyleCounts[2][PART_COUNT] = {};
    // The avatar part textures by gender, part and colour (null: none).
    Texture* partTextures[2][PART_COUNT][kMaxPartColours] = {};
    bool charactersLoaded = false;

private:
    bool LoadComputerContestants();
    bool LoadPlayers();
    void ResolveOpponents();
    void LoadCharacterParts();
    void ReleaseCharacterParts();

    char* saveDirectory = nullptr;
};

extern GameData g_gameData;

// Puts the game's skin texture loader in place: it loads nothing, since the
// game itself gives each worn skin its part texture when it dresses an
// avatar (AvatarAppearance::ApplyTo).
void InstallSkinTextureLoader();

// Waits by polling the tick count, as display changes want a short pause.
void BusyWait(DWORD milliseconds);
