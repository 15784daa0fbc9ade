#include "game_data.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "binary_file.h"
#include "file_system.h"
#include "record_io.h"
#include "strings.h"

GameData g_gameData;

const char kSettingsFile[] = "Quorvane.set";
const char kGameFile[] = "Quorvane.gam";
const char kComputerFile[] = "Quorvane.ai";
static const char kDamagedSuffix[] = ".bad";

GameData::GameData() {}

GameData::~GameData() { SetString(saveDirectory, nullptr); }

void GameData::SetSaveDirectory(const char* folder) { SetString(saveDirectory, folder); }

std::string GameData::SavePath(const char* fileName) const {
    return std::string(saveDirectory ? saveDirectory : "") + (fileName ? fileName : "");
}

// count records of one kind, all or none: on any failure nothing is kept.
static bool ReadProfiles(RecordReader& in, int count, int kind, std::vector<PlayerProfile*>& out) {
    if (count < 0 || count > kMaxProfiles) in.Fail();
    for (int i = 0; i < count && in.Ok(); ++i) {
        PlayerProfile* p = new PlayerProfile(kind);
        out.push_back(p);
        if (!p->Read(in) || p->GetKind() != kind) in.Fail();
    }
    if (in.Ok()) return true;
    for (PlayerProfile* p : out) delete p;
    out.clear();
    return false;
}

bool GameData::LoadComputerContestants() {
    BinaryFile file(computerFile, BinaryFile::Reading);
    if (!file.IsOpen()) return false;
    RecordReader in(file);
    int count = in.Int();
    std::vector<PlayerProfile*> read;
    if (!ReadProfiles(in, count, KIND_COMPUTER, read)) return false;
    for (PlayerProfile* p : read)
        if (!profiles.Add(p, LIST_COMPUTERS)) delete p;
    return true;
}

bool GameData::LoadPlayers() {
    std::string path = SavePath(gameFile);
    BinaryFile file(path.c_str(), BinaryFile::Reading);
    if (!file.IsOpen()) return false;
    RecordReader in(file);
    int count = in.Int();
    int current = in.Int();
    if (current < -1 || current >= count) in.Fail();
    std::vector<PlayerProfile*> read;
    HighScoreTables tables;
    bool ok = ReadProfiles(in, count, KIND_HUMAN, read) && tables.Read(file);
    file.Close();
    if (!ok) {
        for (PlayerProfile* p : read) delete p;
        // Nothing of it is used, and the next save replaces it: keep a copy.
        CopyWholeFile(path.c_str(), (path + kDamagedSuffix).c_str());
        return false;
    }
    for (PlayerProfile* p : read)
        if (!profiles.Add(p, LIST_HUMANS)) delete p;
    currentProfile = profiles.Get(current, LIST_HUMANS);
    highScores = tables;
    return true;
}

void GameData::ResolveOpponents() {
    int count = profiles.GetCount(LIST_HUMANS);
    for (int i = 0; i < count; ++i) {
        PlayerProfile* p = profiles.Get(i, LIST_HUMANS);
        for (int slot = 1; slot <= 2; ++slot) {
            OpponentSlot* o = p->GetOpponent(slot);
            if (o->index == -1) continue;
            PlayerProfile* found = FindProfile(o->kind, o->index);
            if (found) {
                o->profile = found;
                o->kind = found->GetKind();
            } else {
                p->ClearOpponent(slot);
            }
        }
    }
}

void GameData::LoadAll() {
    {
        BinaryFile file(SavePath(settingsFile).c_str(), BinaryFile::Reading);
        settings.Load(file);
    }
    currentProfile = nullptr;
    profiles.Clear(LIST_HUMANS);
    profiles.Clear(LIST_COMPUTERS);
    highScores.Clear();
    LoadComputerContestants();
    insertDefaultHighScores = LoadPlayers() ? 0 : 1;
    ResolveOpponents();
}

void GameData::LoadConfig() {
    int id = g_fileSystem.GetFileId("GAME");
    TiXmlDocument doc;
    if (!id || !g_fileSystem.LoadXml(id, &doc)) return;
    const TiXmlElement* root = doc.RootElement();
    config.Load(root);
    defaultHighScores.LoadDefaults(root);
    if (insertDefaultHighScores) {
        InsertDefaultHighScores();
        insertDefaultHighScores = 0;
    }
}

bool GameData::Save() {
    bool settingsSaved;
    {
        BinaryFile file(SavePath(settingsFile).c_str(), BinaryFile::Writing);
        settingsSaved = settings.Save(file);
        if (!settingsSaved) file.Discard();
        settingsSaved = file.Close() == 0 && settingsSaved;
    }
    // The players' progress is written even when the settings could not be.
    bool gameSaved;
    {
        BinaryFile file(SavePath(gameFile).c_str(), BinaryFile::Writing);
        RecordWriter out(file);
        int count = profiles.GetCount(LIST_HUMANS);
        out.Int(count);
        out.Int(currentProfile && currentProfile->GetKind() == KIND_HUMAN ? profiles.IndexOf(currentProfile) : -1);
        for (int i = 0; i < count; ++i) profiles.Get(i, LIST_HUMANS)->Write(out);
        gameSaved = out.Ok() && highScores.Write(file);
        if (!gameSaved) file.Discard();
        gameSaved = file.Close() == 0 && gameSaved;
    }
    return settingsSaved && gameSaved;
}


Texture* AvatarPartTexture(int gender, int part, int colour) {
    if (gender < 0 || gender > 1 || part < 0 || part >= PART_COUNT || colour < 0 || colour >= kMaxPartColours)
        return nullptr;
    return g_gameData.partTextures[gender][part][colour];
}

PlayerProfile* GameData::FindProfile(int kind, int index) {
    return profiles.Get(index, kind == KIND_NONE ? LIST_CURRENT : kind);
}

bool GameData::AddHighScore(PlayerProfile* profile, int score, int mode) {
    HighScoreEntry* table = highScores.GetTable(mode);
    if (!table || !profile || score <= 0) return false;
    int index = profiles.IndexOf(profile);
    if (index < 0) return false;
    int kind = profile->GetKind();
    if (kind == KIND_COMPUTER)
        for (int i = 0; i < kHighScoreRows; ++i)
            if (table[i].kind == KIND_COMPUTER && table[i].score == score) return false;
    const char* name = profile->GetName() ? profile->GetName() : "";
    int place = -1;
    for (int i = 0; i < kHighScoreRows && place < 0; ++i) {
        const HighScoreEntry& e = table[i];
        if (e.kind == KIND_NONE || e.score < score) {
            place = i;
        } else if (e.score == score) {
            PlayerProfile* other = FindProfile(e.kind, e.profileIndex);
            const char* otherName = other && other->GetName() ? other->GetName() : "";
            if (std::strcmp(otherName, name) > 0) place = i;
        }
    }
    if (place < 0) return false;
    for (int i = kHighScoreRows - 1; i > place; --i) table[i] = table[i - 1];
    HighScoreEntry& entry = table[place];
    entry.score = score;
    GetToday(entry.date);
    entry.profileIndex = index;
    entry.kind = kind;
    return true;
}

static const int kDefaultInsertOrder[kHighScoreTables] = {MODE_QUICK_PLAY, MODE_GROUP_PLAY, MODE_ROAD_TRIP,
                                                          MODE_PLAY_ALONE};

void GameData::InsertDefaultHighScores() {
    for (int row = 0; row < kHighScoreRows; ++row)
        for (int mode : kDefaultInsertOrder) {
            const HighScoreEntry& e = defaultHighScores.GetTable(mode)[row];
            // A default whose computer contestant is not there is left out.
            PlayerProfile* contestant = profiles.Get(e.profileIndex, LIST_COMPUTERS);
            if (e.kind == KIND_COMPUTER && contestant) AddHighScore(contestant, e.score, mode);
        }
}

void GameData::InsertDefaultHighScoresFor(int mode) {
    const HighScoreEntry* defaults = defaultHighScores.GetTable(mode);
    if (!defaults) return;
    for (int row = 0; row < kHighScoreRows; ++row) {
        PlayerProfile* contestant = profiles.Get(defaults[row].profileIndex, LIST_COMPUTERS);
        if (defaults[row].kind == KIND_COMPUTER && contestant) AddHighScore(contestant, defaults[row].score, mode);
    }
}

bool GameData::DeleteHumanProfile(int index) {
    if (!profiles.Get(index, LIST_HUMANS)) return false;
    profiles.Remove(index, LIST_HUMANS);
    static const int kModes[kHighScoreTables] = {MODE_QUICK_PLAY, MODE_ROAD_TRIP, MODE_GROUP_PLAY,
                                                 MODE_PLAY_ALONE};
    for (int mode : kModes) {
        HighScoreEntry* table = highScores.GetTable(mode);
        bool lost = false;
        for (int i = kHighScoreRows - 1; i >= 0; --i)
            if (table[i].kind == KIND_HUMAN && table[i].profileIndex == index) {
                highScores.RemoveEntry(i, mode);
                lost = true;
            }
        // Every table names human profiles by index, lost an entry or not.
        for (int i = 0; i < kHighScoreRows; ++i)
            if (table[i].kind == KIND_HUMAN && table[i].profileIndex > index) --table[i].profileIndex;
        if (lost) InsertDefaultHighScoresFor(mode);
    }
    currentProfile = profiles.Get(index > 0 ? index - 1 : 0, LIST_HUMANS);
    return true;
}
