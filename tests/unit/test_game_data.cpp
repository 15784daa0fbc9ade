// The save files (".set", ".gam", ".ai"), the profile records, the profile
// lists and the "GAME" configuration.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "binary_file.h"
#include "game_data.h"
#include "game_test_util.h"
#include "record_io.h"
#include "strings.h"
#include "test_support.h"

namespace {

const float kDefaultSettings[10] = {0.5f, 0.5f, 1.0f, 800.0f, 600.0f, 32.0f, 60.0f, 1.0f, 0.5f, 0.0f};

std::string Floats(const float* v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += LeFloat(v[i]);
    return s;
}

// A computer contestant's record, byte by byte as the file format gives it.
std::string ComputerRecord(const std::string& name, int level) {
    std::string r = Le32(1) + Le32((int)name.size()) + name + Le32(0);
    for (int part = 0; part < 6; ++part) r += Le32(part) + Le32(1);
    r += Le32(1);
    for (int i = 0; i < 27; ++i) r += Le32(0);
    r += Le32(level);
    for (int i = 0; i < 7; ++i) r += LeFloat(10.0f * i + level);
    return r;
}

std::string ComputerFile(int count) {
    std::string f = Le32(count);
    for (int i = 0; i < count; ++i) f += ComputerRecord("Contestant " + std::to_string(i), i % 3);
    return f;
}

int CountContestantsInSource(const std::string& dir) {
    std::string text = ReadWholeFile(dir + "contestants.txt");
    int n = 0;
    for (size_t at = text.find("[contestant]"); at != std::string::npos; at = text.find("[contestant]", at + 1)) ++n;
    return n;
}

// Puts a value into every field that a human record stores.
void FillProfile(PlayerProfile& p, const char* name) {
    p.appearance.SetGender(1);
    p.appearance.SetName(name);
    p.appearance.SetCharacter(3);
    for (int part = 0; part < PART_COUNT; ++part) {
        p.appearance.SetPart(part + 1, part);
        p.appearance.SetColour(part, part);
    }
    for (int i = 0; i < kStatCount; ++i) p.SetStat(i, i * 7 + 1);
    SetBit(p.usedPuzzles, 5);
    SetBit(p.usedPuzzles, 3259);
    p.AwardTrophy(4);
    p.AwardTrophy(4);
    p.AwardTrophy(17);
    const int tour[5] = {9, 0, 1, 2, 3};
    p.SetTour(tour, 5);
    p.currentLeg = 2;
    CopyString(p.tourName, sizeof(p.tourName), "TOUR5_1");
    for (int c = 0; c < kCityCount; ++c) {
        for (int k = 0; k < kCityStatCount; ++k) p.cityStats[c][k] = c * 10 + k;
        p.cityPick1[c] = c;
        p.cityPick2[c] = 9 - c;
    }
    p.tour3Used[2] = 1;
    p.tour5Used[0] = 1;
    p.tour7Used[9] = 1;
    p.SetCalendarTexts(0, "MAIN_ROUND_PUZZLE_12", "A STITCH IN TIME");
    p.calendar[0].result = 1234;
    p.calendar[0].date = {3, 7, 2026};
    p.SetCalendarTexts(kCalendarDays - 1, std::string(200, 'x').c_str(), nullptr);
    p.calendarDate = {1, 2, 2026};
}

std::string WriteRecord(const PlayerProfile& p, const std::string& path) {
    BinaryFile out(path.c_str(), BinaryFile::Writing);
    RecordWriter w(out);
    p.Write(w);
    EXPECT_TRUE(w.Ok());
    EXPECT_EQ(0, out.Close());
    return ReadWholeFile(path);
}

class SaveFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        content = ContentDir();
        dir = MakeTempDir("gd");
        folder = new WorkingFolder(dir);
    }
    void TearDown() override {
        delete folder;
        g_fileSystem.Shutdown();
    }
    // The real "GAME" and "TROPHY" documents.
    void LoadContentManifest() {
        std::string xml = "<manifest res_path=\"" + content + "\"><group path=\"game/\">"
                          "<file label=\"GAME\" path=\"game.xml\"/><file label=\"TROPHY\" path=\"trophies.xml\"/>"
                          "</group></manifest>";
        ASSERT_TRUE(WriteWholeFile(dir + "content.xml", xml));
        ASSERT_TRUE(g_fileSystem.Load((dir + "content.xml").c_str()));
    }
    void Start(GameData& gd) {
        gd.SetSaveDirectory(dir.c_str());
        gd.LoadAll();
        gd.Start();
    }
    std::string Path(const char* name) { return dir + name; }

    std::string content, dir;
    WorkingFolder* folder = nullptr;
};

TEST_F(SaveFilesTest, FirstRunSavesDefaultSettingsAndDefaultHighScores) {
    ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), ComputerFile(CountContestantsInSource(content))));
    LoadContentManifest();
    GameData gd;
    Start(gd);
    ASSERT_TRUE(gd.Save());

    EXPECT_EQ(Floats(kDefaultSettings, 10), ReadWholeFile(Path(kSettingsFile)));
    std::string gam = ReadWholeFile(Path(kGameFile));
    ASSERT_EQ(968u, gam.size());
    EXPECT_EQ(0, ReadLe32(gam, 0));
    EXPECT_EQ(-1, ReadLe32(gam, 4));

    GameDate today;
    GetToday(today);
    // File order: quick play, road trip, group play, play alone.
    const int modes[4] = {MODE_QUICK_PLAY, MODE_ROAD_TRIP, MODE_GROUP_PLAY, MODE_PLAY_ALONE};
    for (int t = 0; t < 4; ++t) {
        const HighScoreEntry* defaults = gd.defaultHighScores.GetTable(modes[t]);
        for (int i = 0; i < kHighScoreRows; ++i) {
            size_t at = 8 + t * 240 + i * 24;
            SCOPED_TRACE(testing::Message() << "table " << t << " row " << i);
            EXPECT_EQ(defaults[i].score, ReadLe32(gam, at));
            if (i > 0) {
                EXPECT_GT(ReadLe32(gam, at - 24), ReadLe32(gam, at)) << "sorted, highest first";
            }
            EXPECT_EQ(today.day, ReadLe32(gam, at + 4));
            EXPECT_EQ(today.month, ReadLe32(gam, at + 8));
            EXPECT_EQ(today.year, ReadLe32(gam, at + 12));
            EXPECT_EQ(defaults[i].profileIndex, ReadLe32(gam, at + 16));
            EXPECT_EQ(KIND_COMPUTER, ReadLe32(gam, at + 20));
        }
    }
    EXPECT_EQ(0, gd.insertDefaultHighScores);
}

TEST_F(SaveFilesTest, WindowedSettingsAreByteIdenticalAfterLoadAndSave) {
    const float windowed[10] = {0.25f, 0.75f, 0.0f, 640.0f, 480.0f, 16.0f, 75.0f, 0.0f, 0.125f, 0.3f};
    ASSERT_TRUE(WriteWholeFile(Path(kSettingsFile), Floats(windowed, 10)));
    GameData gd;
    Start(gd);
    ASSERT_TRUE(gd.Save());
    EXPECT_EQ(Floats(windowed, 10), ReadWholeFile(Path(kSettingsFile)));
}

TEST_F(SaveFilesTest, ProfileRecordRoundTripsByteForByte) {
    PlayerProfile original;
    FillProfile(original, "Ada");
    std::string first = WriteRecord(original, Path("a.rec"));

    PlayerProfile copy;
    BinaryFile in(Path("a.rec").c_str(), BinaryFile::Reading);
    RecordReader r(in);
    ASSERT_TRUE(copy.Read(r));
    in.Close();
    EXPECT_EQ(first, WriteRecord(copy, Path("b.rec")));
    EXPECT_STREQ("Ada", copy.GetName());
    EXPECT_EQ(5, copy.GetTourLength());
    EXPECT_EQ(2, copy.GetTourCity(3));
    EXPECT_EQ(-1, copy.GetTourCity(5));
    ASSERT_EQ(2u, copy.GetTrophyCount());
    EXPECT_EQ(1.0f, copy.GetTrophy(0)->timesWon);
    EXPECT_EQ(0u, copy.GetNewAwardCount()) << "the awards of a match are not saved";
    EXPECT_EQ(std::string(kCalendarTextMax, 'x'), copy.calendar[kCalendarDays - 1].text1) << "cut to 127";
    EXPECT_TRUE(TestBit(copy.usedPuzzles, 3259));

    // No name: length 0, and none after reading.
    PlayerProfile unnamed;
    std::string bytes = WriteRecord(unnamed, Path("c.rec"));
    EXPECT_EQ(0, ReadLe32(bytes, 4));
    PlayerProfile back;
    back.appearance.SetName("old");
    BinaryFile in2(Path("c.rec").c_str(), BinaryFile::Reading);
    RecordReader r2(in2);
    ASSERT_TRUE(back.Read(r2));
    EXPECT_EQ(nullptr, back.GetName());

    // A computer record: appearance, kind, 108 bytes of statistics, 32 more.
    PlayerProfile computer(KIND_COMPUTER);
    computer.appearance.SetName("Bo");
    EXPECT_EQ(4u + 4 + 2 + 4 + 48 + 4 + 108 + 32, WriteRecord(computer, Path("d.rec")).size());
}

TEST_F(SaveFilesTest, PlayersCurrentProfileAndOpponentsSurviveSaveAndLoad) {
    ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), ComputerFile(3)));
    GameData gd;
    Start(gd);
    ASSERT_EQ(3, gd.profiles.GetCount(LIST_COMPUTERS));
    PlayerProfile* a = new PlayerProfile();
    PlayerProfile* b = new PlayerProfile();
    FillProfile(*a, "Ada");
    FillProfile(*b, "Bea");
    gd.profiles.Add(a, LIST_HUMANS);
    gd.profiles.Add(b, LIST_HUMANS);
    a->SetOpponent(1, gd.profiles.Get(2, LIST_COMPUTERS), 2);
    a->SetOpponent(2, b, 1);
    gd.currentProfile = b;
    ASSERT_TRUE(gd.Save());
    std::string saved = ReadWholeFile(Path(kGameFile));

    GameData again;
    Start(again);
    ASSERT_EQ(2, again.profiles.GetCount(LIST_HUMANS));
    EXPECT_EQ(again.profiles.Get(1, LIST_HUMANS), again.currentProfile);
    PlayerProfile* ada = again.profiles.Get(0, LIST_HUMANS);
    EXPECT_EQ(again.profiles.Get(2, LIST_COMPUTERS), ada->GetOpponent(1)->profile);
    EXPECT_EQ(KIND_COMPUTER, ada->GetOpponent(1)->kind);
    EXPECT_EQ(again.currentProfile, ada->GetOpponent(2)->profile);
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(saved, ReadWholeFile(Path(kGameFile)));

    // An opponent whose contestant is gone is cleared.
    ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), ComputerFile(2)));
    GameData fewer;
    Start(fewer);
    OpponentSlot* slot = fewer.profiles.Get(0, LIST_HUMANS)->GetOpponent(1);
    EXPECT_EQ(nullptr, slot->profile);
    EXPECT_EQ(-1, slot->index);
    EXPECT_EQ(-1, slot->kind);
}

TEST_F(SaveFilesTest, DamagedGameFilesGiveTheDefaultsAndAreKept) {
    ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), ComputerFile(CountContestantsInSource(content))));
    LoadContentManifest();
    std::string valid;
    {
        GameData gd;
        Start(gd);
        PlayerProfile* p = new PlayerProfile();
        FillProfile(*p, "Ada");
        gd.profiles.Add(p, LIST_HUMANS);
        gd.currentProfile = p;
        ASSERT_TRUE(gd.Save());
        valid = ReadWholeFile(Path(kGameFile));
    }
    const size_t name = 8 + 4;                        // the first record's name length
    const size_t trophies = name + 4 + 3 + 4 + 48 + 4 + 108 + 408;
    const size_t tour = trophies + 4 + 2 * 20;

    auto patched = [&](size_t at, int v) { return valid.substr(0, at) + Le32(v) + valid.substr(at + 4); };
    std::string garbage;
    srand(7);
    for (int i = 0; i < 5000; ++i) garbage += (char)(rand() & 0xFF);
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"cut in the header", valid.substr(0, 6)},
        {"cut in the name", valid.substr(0, name + 5)},
        {"cut in the calendar", valid.substr(0, valid.size() / 2)},
        {"cut in the high scores", valid.substr(0, valid.size() - 100)},
        {"one byte short", valid.substr(0, valid.size() - 1)},
        {"garbage", garbage},
        {"huge profile count", patched(0, 0x7FFFFFFF)},
        {"negative profile count", patched(0, -3)},
        {"current index past the list", patched(4, 1)},
        {"current index below -1", patched(4, -2)},
        {"huge name", patched(name, 0x40000000)},
        {"huge trophy count", patched(trophies, 0x10000000)},
        {"negative trophy count", patched(trophies, -1)},
        {"tour longer than the cities", patched(tour, 11)},
        {"a computer record among the players", patched(name + 4 + 3 + 4 + 48, KIND_COMPUTER)},
        {"unknown high-score kind", patched(valid.size() - 4, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ASSERT_TRUE(WriteWholeFile(Path(kGameFile), c.second));
        DeleteFileA(Path("Quorvane.gam.bad").c_str());
        GameData gd;
        Start(gd);
        EXPECT_EQ(0, gd.profiles.GetCount(LIST_HUMANS));
        EXPECT_EQ(nullptr, gd.currentProfile);
        EXPECT_EQ(gd.defaultHighScores.GetTable(MODE_ROAD_TRIP)[0].score,
                  gd.highScores.GetTable(MODE_ROAD_TRIP)[0].score);
        EXPECT_EQ(c.second, ReadWholeFile(Path("Quorvane.gam.bad"))) << "the damaged file is kept";
        ASSERT_TRUE(gd.Save());
        EXPECT_EQ(968u, ReadWholeFile(Path(kGameFile)).size());
    }
    // Longer than needed is not damage: later data is simply not read.
    ASSERT_TRUE(WriteWholeFile(Path(kGameFile), valid + "more"));
    GameData gd;
    Start(gd);
    EXPECT_EQ(1, gd.profiles.GetCount(LIST_HUMANS));
}

TEST_F(SaveFilesTest, FailedSaveKeepsTheOldFileAndStillWritesTheOther) {
    GameData gd;
    Start(gd);
    ASSERT_TRUE(gd.Save());
    std::string oldGame = ReadWholeFile(Path(kGameFile));
    PlayerProfile* p = new PlayerProfile();
    p->appearance.SetName("Ada");
    gd.profiles.Add(p, LIST_HUMANS);
    gd.settings.Set(SETTING_SOUND_VOLUME, 0.25f);

    // ".gam" cannot be written: the old one stays, ".set" is written.
    ASSERT_TRUE(CreateDirectoryA(Path("Quorvane.gam.tmp").c_str(), nullptr));
    EXPECT_FALSE(gd.Save());
    EXPECT_EQ(oldGame, ReadWholeFile(Path(kGameFile)));
    EXPECT_EQ(LeFloat(0.25f), ReadWholeFile(Path(kSettingsFile)).substr(0, 4));
    RemoveDirectoryA(Path("Quorvane.gam.tmp").c_str());

    // ".set" cannot be written: the players' progress is saved all the same.
    std::string oldSettings = ReadWholeFile(Path(kSettingsFile));
    gd.settings.Set(SETTING_SOUND_VOLUME, 0.75f);
    ASSERT_TRUE(CreateDirectoryA(Path("Quorvane.set.tmp").c_str(), nullptr));
    EXPECT_FALSE(gd.Save());
    EXPECT_EQ(oldSettings, ReadWholeFile(Path(kSettingsFile)));
    EXPECT_EQ(1, ReadLe32(ReadWholeFile(Path(kGameFile)), 0));
    RemoveDirectoryA(Path("Quorvane.set.tmp").c_str());
}

// The disk as a crash would leave it, looked at after every write of a save
// and every step of putting the written file in place. A final file is read
// again whenever its size or times change; each new combination of what the
// disk holds (old or new ".set" and ".gam", a left-over temporary file or
// not) is kept with its leftovers for a start from it.
struct DiskAtEachStep {
    static DiskAtEachStep* current;
    std::string dir, oldSet, newSet, oldGam, newGam;
    struct Watched {
        WIN32_FILE_ATTRIBUTE_DATA seen = {};
        bool present = false;
        int verdict = -1;  // 0 old, 1 new, -1 neither
    } set, gam;
    std::map<std::string, std::vector<std::string>> states;  // key: what the disk holds
    int steps[2] = {0, 0};
    int torn = 0;

    static int Judge(const std::string& path, Watched& w, const std::string& oldBytes, const std::string& newBytes) {
        WIN32_FILE_ATTRIBUTE_DATA now = {};
        bool present = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now) != 0;
        if (present != w.present || std::memcmp(&now, &w.seen, sizeof(now)) != 0) {
            std::string bytes = ReadWholeFile(path);
            w.verdict = bytes == oldBytes ? 0 : bytes == newBytes ? 1 : -1;
            w.seen = now;
            w.present = present;
        }
        return w.verdict;
    }
    static void Take(const char* path) {
        DiskAtEachStep& d = *current;
        const bool settings = std::strstr(path, kSettingsFile) != nullptr;
        ++d.steps[settings ? 0 : 1];
        int s = Judge(d.dir + kSettingsFile, d.set, d.oldSet, d.newSet);
        int g = Judge(d.dir + kGameFile, d.gam, d.oldGam, d.newGam);
        if (s < 0 || g < 0) ++d.torn;
        const std::string setTmp = ReadWholeFile(d.dir + kSettingsFile + ".tmp");
        const bool gamTmp = FileExists(d.dir + kGameFile + ".tmp");
        std::string key = std::to_string(s) + std::to_string(g) + (setTmp.empty() ? "-" : "s") + (gamTmp ? "g" : "-");
        if (!d.states.count(key))
            d.states[key] = {ReadWholeFile(d.dir + kSettingsFile), ReadWholeFile(d.dir + kGameFile), setTmp,
                             gamTmp ? ReadWholeFile(d.dir + kGameFile + ".tmp") : std::string()};
    }
};
DiskAtEachStep* DiskAtEachStep::current = nullptr;

TEST_F(SaveFilesTest, SaveCutShortAfterAnyWriteLeavesTheOldOrTheNewFileAndTheNextStartReadsIt) {
    DiskAtEachStep disk;
    disk.dir = dir;
    {
        GameData gd;
        Start(gd);
        PlayerProfile* a = new PlayerProfile();
        FillProfile(*a, "Ada");
        gd.profiles.Add(a, LIST_HUMANS);
        gd.currentProfile = a;
        ASSERT_TRUE(gd.Save());
        disk.oldSet = ReadWholeFile(Path(kSettingsFile));
        disk.oldGam = ReadWholeFile(Path(kGameFile));
        // What the next save writes, found by a save elsewhere.
        PlayerProfile* b = new PlayerProfile();
        FillProfile(*b, "Bea");
        gd.profiles.Add(b, LIST_HUMANS);
        gd.settings.Set(SETTING_MUSIC_VOLUME, 0.125f);
        std::string elsewhere = MakeTempDir("gd-new");
        gd.SetSaveDirectory(elsewhere.c_str());
        ASSERT_TRUE(gd.Save());
        disk.newSet = ReadWholeFile(elsewhere + kSettingsFile);
        disk.newGam = ReadWholeFile(elsewhere + kGameFile);
        gd.SetSaveDirectory(dir.c_str());
        DiskAtEachStep::current = &disk;
        BinaryFile::stepObserver = DiskAtEachStep::Take;
        bool saved = gd.Save();
        BinaryFile::stepObserver = nullptr;
        ASSERT_TRUE(saved);
    }
    ASSERT_NE(disk.oldSet, disk.newSet);
    ASSERT_NE(disk.oldGam, disk.newGam);
    EXPECT_EQ(disk.newGam, ReadWholeFile(Path(kGameFile)));
    // 40 bytes of settings in one write; the players field by field: every
    // one of these steps is a place where the save can be cut short.
    EXPECT_EQ(1 + 3, disk.steps[0]);
    EXPECT_GT(disk.steps[1], 1000);
    EXPECT_EQ(0, disk.torn) << "steps with a final file neither old nor new";
    // old/old while ".set" is written, new/old while ".gam" is, new/new at the end.
    for (const char* key : {"00s-", "10--", "10-g", "11--"}) EXPECT_TRUE(disk.states.count(key)) << key;

    const std::string next = MakeTempDir("gd-next");
    for (const auto& state : disk.states) {
        SCOPED_TRACE("a start after a cut with the disk at " + state.first);
        const std::vector<std::string>& files = state.second;
        const char* names[4] = {kSettingsFile, kGameFile, "Quorvane.set.tmp", "Quorvane.gam.tmp"};
        for (int i = 0; i < 4; ++i) {
            DeleteFileA((next + names[i]).c_str());
            if (i < 2 || !files[i].empty()) ASSERT_TRUE(WriteWholeFile(next + names[i], files[i]));
        }
        GameData gd;
        gd.SetSaveDirectory(next.c_str());
        gd.LoadAll();
        EXPECT_EQ(state.first[1] == '0' ? 1 : 2, gd.profiles.GetCount(LIST_HUMANS));
        EXPECT_FLOAT_EQ(state.first[0] == '0' ? 0.5f : 0.125f, gd.settings.Get(SETTING_MUSIC_VOLUME));
        EXPECT_FALSE(FileExists(next + kGameFile + ".bad"));
        // A save over the leftovers puts whole files in place again.
        ASSERT_TRUE(gd.Save());
        EXPECT_EQ(files[1], ReadWholeFile(next + kGameFile));
        EXPECT_FALSE(FileExists(next + "Quorvane.gam.tmp"));
        EXPECT_FALSE(FileExists(next + "Quorvane.set.tmp"));
    }
}

TEST_F(SaveFilesTest, ComputerFileIsReadWholeOrNotAtAllAndNeverWritten) {
    GameData none;
    Start(none);
    ASSERT_TRUE(none.Save());
    EXPECT_FALSE(FileExists(Path(kComputerFile)));

    std::string ai = ComputerFile(4);
    ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), ai));
    GameData gd;
    Start(gd);
    ASSERT_EQ(4, gd.profiles.GetCount(LIST_COMPUTERS));
    PlayerProfile* c = gd.profiles.Get(2, LIST_COMPUTERS);
    EXPECT_STREQ("Contestant 2", c->GetName());
    ASSERT_NE(nullptr, c->GetAi());
    EXPECT_EQ(2, c->GetAi()->GetLevel());
    EXPECT_EQ(32.0f, c->GetAi()->GetChance(3));
    EXPECT_EQ(1, c->appearance.GetColour(PART_TORSO));
    EXPECT_EQ(2, gd.profiles.IndexOf(c));
    ASSERT_TRUE(gd.Save());
    EXPECT_EQ(ai, ReadWholeFile(Path(kComputerFile)));

    // Short, more contestants than records, a negative count, an unknown
    // level, and a human record in the computer file.
    std::string human = ComputerRecord("X", 0).replace(4 + 4 + 1 + 4 + 48, 4, Le32(KIND_HUMAN));
    const std::string damaged[] = {ai.substr(0, ai.size() - 1), Le32(5) + ai.substr(4), Le32(-1),
                                   Le32(1) + ComputerRecord("X", 3), Le32(1) + human};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(WriteWholeFile(Path(kComputerFile), damaged[i]));
        GameData bad;
        Start(bad);
        EXPECT_EQ(0, bad.profiles.GetCount(LIST_COMPUTERS)) << "case " << i;
    }
}

TEST(ProfileManager, RemoveMovesOnlyOpponentsOfTheSameList) {
    ProfileManager pm;
    PlayerProfile* humans[5];
    for (PlayerProfile*& h : humans) {
        h = new PlayerProfile();
        pm.Add(h, LIST_HUMANS);
    }
    PlayerProfile* computers[5];
    for (PlayerProfile*& c : computers) {
        c = new PlayerProfile(KIND_COMPUTER);
        pm.Add(c, LIST_COMPUTERS);
    }
    humans[0]->SetOpponent(1, humans[3], 3);
    humans[0]->SetOpponent(2, humans[4], 4);
    humans[1]->SetOpponent(1, humans[2], 2);
    humans[1]->SetOpponent(2, computers[3], 3);
    humans[3]->SetOpponent(1, computers[2], 2);
    pm.CreateScratch(LIST_HUMANS);
    pm.GetScratch(1)->SetOpponent(1, humans[2], 2);

    pm.Remove(2, LIST_HUMANS);
    EXPECT_EQ(4, pm.GetCount(LIST_HUMANS));
    EXPECT_EQ(2, humans[0]->GetOpponent(1)->index);
    EXPECT_EQ(humans[3], humans[0]->GetOpponent(1)->profile);
    EXPECT_EQ(3, humans[0]->GetOpponent(2)->index);
    EXPECT_EQ(nullptr, humans[1]->GetOpponent(1)->profile) << "the slot of the removed profile is cleared";
    EXPECT_EQ(-1, humans[1]->GetOpponent(1)->index);
    EXPECT_EQ(-1, humans[1]->GetOpponent(1)->kind);
    EXPECT_EQ(3, humans[1]->GetOpponent(2)->index) << "a computer opponent keeps its index";
    EXPECT_EQ(2, humans[3]->GetOpponent(1)->index);
    EXPECT_EQ(nullptr, pm.GetScratch(1)->GetOpponent(1)->profile);
    EXPECT_EQ(humans[3], pm.Get(2, LIST_HUMANS));
    EXPECT_EQ(2, pm.IndexOf(humans[3]));
    EXPECT_EQ(3, pm.IndexOf(computers[3]));

    pm.Remove(9, LIST_HUMANS);
    EXPECT_EQ(4, pm.GetCount(LIST_HUMANS));
    EXPECT_EQ(nullptr, pm.Get(0, 27));
}

TEST(AvatarAppearance, PartNamesAndCopy) {
    EXPECT_EQ(nullptr, PartTextureName(1, PART_FACE_HAIR, 0));
    EXPECT_STREQ("TEX_MALE_TORSO_10", PartTextureName(0, PART_TORSO, 9));
    EXPECT_EQ(nullptr, PartTextureName(0, PART_HAIR, 40));
    EXPECT_STREQ("hi_m_body_head", PartModelName(0, PART_HEAD, 5));
    EXPECT_STREQ("hi_f_hair1", PartModelName(1, PART_HAIR, 0));
    EXPECT_EQ(nullptr, PartModelName(0, PART_GLASSES, -1));

    AvatarAppearance a, b;
    EXPECT_EQ(GENDER_UNSET, a.GetGender());
    a.SetGender(7);
    EXPECT_EQ(GENDER_MALE, a.GetGender());
    a.SetGender(GENDER_FEMALE);
    a.SetName("Ada");
    a.SetPart(3, PART_HAIR);
    a.SetColour(9, PART_TORSO);
    a.SetCharacter(5);
    a.CopyTo(b);
    EXPECT_EQ(GENDER_FEMALE, b.GetGender());
    EXPECT_STREQ("Ada", b.GetName());
    EXPECT_EQ(3, b.GetPart(PART_HAIR));
    EXPECT_EQ(9, b.GetColour(PART_TORSO));
    EXPECT_EQ(0, b.GetCharacter());
}

TEST_F(SaveFilesTest, ConfigurationKeepsWhatTheDocumentLeavesOut) {
    // Attributes that are missing leave the values; a tour naming no city
    // is ignored; a document that does not parse changes nothing.
    ASSERT_TRUE(LoadTestManifest(dir, {{"GAME", "<g><ai easy=\"0.5\"/><roadtrip><city info_pos=\"1,2\"/>"
                                                "<tour3 cities=\"1,2,3\"/><tour3 cities=\"1,12,3\"/>"
                                                "<tour3 cities=\"4\"/></roadtrip></g>"}}));
    GameData partial;
    partial.config.difficulty[DIFFICULTY_HARD] = 9.0f;
    partial.config.cityInfoPos[0].z = 7.0f;
    partial.config.tour3[1][0] = 5;
    partial.config.tour3[2][1] = 6;
    partial.LoadConfig();
    EXPECT_EQ(0.5f, partial.config.difficulty[DIFFICULTY_EASY]);
    EXPECT_EQ(9.0f, partial.config.difficulty[DIFFICULTY_HARD]);
    EXPECT_EQ(2.0f, partial.config.cityInfoPos[0].y);
    EXPECT_EQ(7.0f, partial.config.cityInfoPos[0].z);
    EXPECT_EQ(3, partial.config.tour3[0][2]);
    EXPECT_EQ(5, partial.config.tour3[1][0]);
    EXPECT_EQ(4, partial.config.tour3[2][0]);
    EXPECT_EQ(6, partial.config.tour3[2][1]);

    ASSERT_TRUE(LoadTestManifest(dir, {{"GAME", "<g><ai easy=\"0.5\"></g>"}}));
    GameData broken;
    broken.LoadConfig();
    EXPECT_EQ(0.0f, broken.config.difficulty[DIFFICULTY_EASY]);
}

}  // namespace
