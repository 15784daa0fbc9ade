// The menus: player names, the options' mode tables and texts, the puzzle
// calendar and its month view, the road trip's draw, deleting players, the
// bounded opponent search and the debug commands outside a match.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "control_binding.h"
#include "control_factory.h"
#include "controls_button.h"
#include "controls_game.h"
#include "controls_text.h"
#include "controls_value.h"
#include "debug_callbacks.h"
#include "renderer.h"
#include "frame_timer.h"
#include "edition_entry.h"
#include "game_callbacks.h"
#include "game_config.h"
#include "game_data.h"
#include "gui_bindings.h"
#include "gui_test_util.h"
#include "menu_callbacks.h"
#include "menu_rules.h"
#include "menu_screen.h"
#include "round_controller.h"
#include "strings.h"
#include "trophies.h"

namespace {

PlayerProfile* Human(const char* name) {
    PlayerProfile* p = new PlayerProfile(KIND_HUMAN);
    p->appearance.SetName(name);
    p->appearance.SetGender(GENDER_FEMALE);
    return p;
}

PlayerProfile* Computer(const char* name, int level) {
    PlayerProfile* p = new PlayerProfile(KIND_COMPUTER);
    p->appearance.SetName(name);
    p->GetAi()->SetLevel(level);
    return p;
}

// ---- Rules without a screen ----------------------------------------------------

TEST(MenuRules, NamesModeTablesAndCalendarArithmetic) {
    ProfileManager profiles;
    profiles.Add(Human("Ann"), LIST_HUMANS);
    EXPECT_EQ(NAME_EMPTY, CheckPlayerName("", profiles, LIST_HUMANS));
    EXPECT_EQ(NAME_EMPTY, CheckPlayerName(nullptr, profiles, LIST_HUMANS));
    EXPECT_EQ(NAME_EMPTY, CheckPlayerName("   ", profiles, LIST_HUMANS));
    EXPECT_EQ(NAME_TAKEN, CheckPlayerName("Ann", profiles, LIST_HUMANS));
    EXPECT_EQ(NAME_OK, CheckPlayerName("ann", profiles, LIST_HUMANS));
    EXPECT_EQ(NAME_OK, CheckPlayerName("Ann ", profiles, LIST_HUMANS));
    // The computers' names are another list.
    profiles.Add(Computer("Zed", AI_EASY), LIST_COMPUTERS);
    EXPECT_EQ(NAME_OK, CheckPlayerName("Zed", profiles, LIST_HUMANS));

    int w, h;
    ResolutionAt(ResolutionIndex(0.0f), &w, &h);
    EXPECT_EQ(640, w);
    EXPECT_EQ(480, h);
    ResolutionAt(ResolutionIndex(1.0f), &w, &h);  // index 2, never 3
    EXPECT_EQ(1024, w);
    ResolutionAt(ResolutionIndex(0.5f), &w, &h);
    EXPECT_EQ(800, w);
    EXPECT_EQ(60, RefreshAt(RefreshIndex(0.0f)));
    EXPECT_EQ(100, RefreshAt(RefreshIndex(1.0f)));
    EXPECT_EQ(75, RefreshAt(RefreshIndex(0.3f)));

    // 1 January 2026 is a Thursday, 1 February 2026 a Sunday.
    EXPECT_EQ(4, FirstCellOfMonth(2026, 0));
    EXPECT_EQ(0, FirstCellOfMonth(2026, 1));
    EXPECT_EQ(2, FirstCellOfMonth(2008, 0));   // a leap year's January
    EXPECT_EQ(6, FirstCellOfMonth(2008, 2));   // and its March
    EXPECT_TRUE(IsCalendarLeapYear(2028));
    EXPECT_FALSE(IsCalendarLeapYear(2026));
    EXPECT_EQ(59, DayOfYear(2028, 1, 28));
    EXPECT_EQ(-1, DayOfYear(2026, 1, 28));
    EXPECT_EQ(-1, DayOfYear(2026, 12, 0));
    EXPECT_EQ(365, DayOfYear(2028, 11, 30));
}

int s_sourceCalls = 0;
unsigned char* s_sourceBits = nullptr;
bool CountingSource(unsigned char* bits, char* label, int labelSize, char* text, int textSize) {
    s_sourceBits = bits;
    SetBit(bits, s_sourceCalls);
    std::snprintf(label, labelSize, "DAY_%d", s_sourceCalls);
    std::snprintf(text, textSize, "CATEGORY");
    ++s_sourceCalls;
    return true;
}

TEST(MenuRules, CalendarCoversThreeYearsFromCreationOnTheNewProfile) {
    PlayerProfile p(KIND_HUMAN);
    GameDate created = {15, 3, 2026};  // 15 March 2026
    s_sourceCalls = 0;
    int filled = BuildPuzzleCalendar(p, created, CountingSource);
    // 15 March 2026 up to 14 March 2029: 365 * 3 + the 29th of February 2028.
    EXPECT_EQ(365 * 3 + 1, filled);
    EXPECT_EQ(filled, s_sourceCalls);
    EXPECT_EQ(p.usedPuzzles, s_sourceBits);  // the new profile's own puzzles
    EXPECT_EQ(2026, p.calendarDate.year);

    EXPECT_EQ(-1, CalendarRecordOf(p, 2026, 2, 13));   // the day before creation
    int first = CalendarRecordOf(p, 2026, 2, 14);
    ASSERT_GE(first, 0);
    EXPECT_STREQ("DAY_0", p.calendar[first].text1);
    EXPECT_STREQ("CATEGORY", p.calendar[first].text2);
    int last = CalendarRecordOf(p, 2029, 2, 13);
    ASSERT_GE(last, 0);
    EXPECT_NE(nullptr, p.calendar[last].text1);
    EXPECT_EQ(-1, CalendarRecordOf(p, 2029, 2, 14));
    int leapDay = CalendarRecordOf(p, 2028, 1, 28);
    ASSERT_GE(leapDay, 0);
    EXPECT_NE(nullptr, p.calendar[leapDay].text1);

    // Played means paid: a lost day (0) stays playable.
    EXPECT_FALSE(IsCalendarDayPlayed(p, first));
    p.calendar[first].result = 0;
    EXPECT_FALSE(IsCalendarDayPlayed(p, first));
    p.calendar[first].result = 1200;
    EXPECT_TRUE(IsCalendarDayPlayed(p, first));
}

TEST(MenuRules, ToursAreDrawnUnplayedFirstWithOpponentsAtMostTwice) {
    GameConfig config;
    for (int t = 0; t < kTour3Count; ++t)
        for (int k = 0; k < 3; ++k) config.tour3[t][k] = (t + k) % kCityCount;
    for (int t = 0; t < kTour7Count; ++t)
        for (int k = 0; k < 7; ++k) config.tour7[t][k] = (t + k) % kCityCount;
    PlayerProfile p(KIND_HUMAN);
    std::set<std::string> names;
    for (int i = 0; i < kTour3Count; ++i) {
        ASSERT_TRUE(DrawTour(p, config, 3, 10));
        names.insert(p.tourName);
    }
    EXPECT_EQ((size_t)kTour3Count, names.size());  // every tour once before any again
    ASSERT_TRUE(DrawTour(p, config, 3, 10));       // all played: the flags start over
    int played = 0;
    for (unsigned char f : p.tour3Used) played += f;
    EXPECT_EQ(1, played);

    for (int round = 0; round < 50; ++round) {
        ASSERT_TRUE(DrawTour(p, config, 7, 10));
        EXPECT_EQ(0, std::strncmp(p.tourName, "TOUR7_", 6));
        EXPECT_EQ(7, p.GetTourLength());
        EXPECT_EQ(0, p.currentLeg);
        EXPECT_EQ(7, p.GetStat(STAT_TOUR_RUNNING));
        int drawn[10] = {0};
        for (int leg = 0; leg < 7; ++leg) {
            int city = p.GetTourCity(leg);
            EXPECT_NE(p.cityPick1[city], p.cityPick2[city]);
            ++drawn[p.cityPick1[city]];
            ++drawn[p.cityPick2[city]];
        }
        for (int n : drawn) EXPECT_LE(n, 2);
    }
    EXPECT_FALSE(DrawTour(p, config, 4, 10));
}

// ---- The callback tables -------------------------------------------------------

// A table registers these names first, in this order, each with a handler
// of its own.
void ExpectTable(CallbackRegistry& r, const std::vector<std::string>& names, const char* table) {
    ASSERT_GE(r.RegisteredCount(), (unsigned)names.size()) << table;
    std::set<GuiCallback> handlers;
    for (unsigned i = 0; i < names.size(); ++i) {
        const CallbackEntry* e = r.RegisteredAt(i);
        ASSERT_NE(nullptr, e) << table << " " << i;
        EXPECT_EQ(names[i], e->name) << table << " entry " << i;
        EXPECT_NE(nullptr, e->callback) << e->name;
        EXPECT_TRUE(handlers.insert(e->callback).second) << table << ": " << e->name << " shares its handler";
    }
}

TEST(CallbackTables, TheDebugAndMenuTablesRegisterTheirNamesInOrder) {
    CallbackRegistry debug;
    RegisterDebugCallbacks(debug);
    ExpectTable(debug,
                {"HackShowHideChars", "HackShowHideReflexions", "HackRound1", "HackRoundJackpot", "HackRoundMistery",
                 "HackRoundBonus", "HackDecreaseScore", "HackIncreaseScore", "HackShowSolution", "HackShowTimers",
                 "HackAddJackpots", "HackAddBonusWin", "HackAddSoloWin", "HackAddHoursPlay", "HackAddAllTrophy",
                 "HackDecTurns", "HackAddTurns", "HackFreeSpin", "HackJackpot", "HackBankrupt", "HackLooseATurn",
                 "HackAddTotalScore", "HackMysteryBankrupt", "HackMysteryWin", "HackPrize10k", "HackStopZoomWheel",
                 "HackRotateWheel", "HackScrollPuzzles", "HackPlayAnim"},
                "debug");
    CallbackRegistry menu;
    RegisterMenuCallbacks(menu);
    const std::vector<std::string> menuNames = {
        "InitMenu", "InitNewPlayer", "CreatePlayer", "CancelCreate", "ForceActiveEdit", "InitHighscore",
        "OnPressTrophy", "InitTrophy", "InitOptions", "ModifySoundValue", "ModifyMusicValue",
        "ToggleFullscreenWindowed", "ToggleHighQuality", "ToggleVSync", "ModifyResolution", "ModifyRefreshRate",
        "ApplyVideo", "InitInGameOptions", "ToggleInGameFullscreenWindowed", "SetWindowAfterEdit", "InitProfiles",
        "OpenEditProfile", "OnPressDelete", "DeletePlayer", "PlayerProfileDetails", "PlayerProfileHoverEnd",
        "InitEditProfile", "ChangeGender", "ChangeSkinColor", "ChangeHairColor", "ChangeHairStyle",
        "ChangeClothingStyle", "ToggleGlasses", "ChangeFaceHair", "Randomize", "CancelEditPlayer",
        "FinishEditPlayer", "RotateMouseWheel", "ChangePage", "InstructionInit", "UpdateInstructionsText",
        "CreditsRotateMouseWheel", "ChangeCreditsPage", "CreditsMoreInit", "UpdateCreditsText", "CheckCities",
        "GotoRoadTrip", "OpenCityInfo", "CloseCityInfo", "InitGroupPlay", "InitGroupPlayDropDownYellow",
        "SelectYellowPlayer", "InitGroupPlayDropDownBlue", "SelectBluePlayer", "InitMainMenuWnd", "StartGame",
        "SetCurrentYearMonthToPuzzle", "InitPuzzleMode", "SetMonth", "ChangeYear", "StartPuzzleOfTheDay",
        "ToggleHumanAI", "OpenDebugAI", "EditAIParam"};
    ASSERT_EQ(64u, menuNames.size());
    ExpectTable(menu, menuNames, "menu");
    EXPECT_EQ(64u, menu.RegisteredCount());
    // The handlers the game screens also call are the ones registered.
    EXPECT_EQ(&StartGame, menu.Find("StartGame"));
    EXPECT_EQ(&GotoRoadTrip, menu.Find("GotoRoadTrip"));
    const struct {
        const char* name;
        GuiCallback handler;
    } kShared[] = {{"OpenEditProfile", OpenEditProfile}, {"InitEditProfile", InitEditProfile},
                   {"ChangeGender", ChangeGender}, {"ChangeSkinColor", ChangeSkinColor},
                   {"ChangeHairColor", ChangeHairColor}, {"ChangeHairStyle", ChangeHairStyle},
                   {"ChangeClothingStyle", ChangeClothingStyle}, {"ToggleGlasses", ToggleGlasses},
                   {"ChangeFaceHair", ChangeFaceHair}, {"Randomize", Randomize},
                   {"CancelEditPlayer", CancelEditPlayer}, {"FinishEditPlayer", FinishEditPlayer},
                   {"CheckCities", CheckCities}, {"OpenCityInfo", OpenCityInfo}, {"CloseCityInfo", CloseCityInfo},
                   {"InitGroupPlay", InitGroupPlay}, {"InitGroupPlayDropDownYellow", InitGroupPlayDropDownYellow},
                   {"SelectYellowPlayer", SelectYellowPlayer}, {"InitGroupPlayDropDownBlue", InitGroupPlayDropDownBlue},
                   {"SelectBluePlayer", SelectBluePlayer}, {"SetCurrentYearMonthToPuzzle", SetCurrentYearMonthToPuzzle},
                   {"InitPuzzleMode", InitPuzzleMode}, {"SetMonth", SetMonth}, {"ChangeYear", ChangeYear},
                   {"StartPuzzleOfTheDay", StartPuzzleOfTheDay}, {"OpenDebugAI", OpenDebugAI},
                   {"EditAIParam", EditAIParam}};
    for (const auto& k : kShared) EXPECT_EQ(k.handler, menu.Find(k.name)) << k.name;
}

// ---- The game window -----------------------------------------------------------

// The avatars' clock stands still while the game's window is inactive and
// goes on from where it stood when the window is active again; a second
// deactivation does not hold it twice. Run on the game's own window (the
// start-up is left right after the window is made).
uint32_t g_windowTicks = 0;
uint32_t WindowTicks() { return g_windowTicks; }
struct LeaveStartUp {};

void DriveTheWindow() {
    HWND window = FindWindowA("Quorvane Vellumine", nullptr);
    if (!window) {
        ADD_FAILURE() << "no game window";
        throw LeaveStartUp();
    }
    g_gameData.settings.Set(SETTING_FULL_SCREEN, 0.0f);  // no display mode changes here
    FrameTimer* clock = new FrameTimer();
    g_currentTimer = clock;
    auto activate = [&](bool on) { SendMessageA(window, WM_ACTIVATE, on ? WA_ACTIVE : WA_INACTIVE, 0); };
    auto after = [&](uint32_t ms) {
        g_windowTicks += ms;
        clock->Tick();
        return clock->Elapsed();
    };
    activate(true);
    EXPECT_NEAR(1.0f, after(1000), 0.01f);
    activate(false);
    EXPECT_TRUE(clock->IsPaused());
    EXPECT_NEAR(1.0f, after(5000), 0.01f) << "inactive: the clock stands";
    activate(false);
    activate(true);
    EXPECT_FALSE(clock->IsPaused()) << "one activation undoes any number of deactivations";
    EXPECT_NEAR(2.0f, after(1000), 0.01f) << "on from where it stood";
    delete clock;
    g_currentTimer = nullptr;
    throw LeaveStartUp();
}

TEST(GameWindow, TheClockStandsStillWhileTheWindowIsInactive) {
    uint32_t (*ticks)() = FrameTimer::TickSource;
    FrameTimer::TickSource = WindowTicks;
    g_windowTicks = 100000;
    std::string dir = MakeTempDir("window");
    Edition edition;
    edition.manifest = "none.xml";
    edition.prepare = DriveTheWindow;
    EXPECT_THROW(RunEdition(GetModuleHandleA(nullptr), dir.c_str(), edition), LeaveStartUp);
    FrameTimer::TickSource = ticks;
    if (HWND window = FindWindowA("Quorvane Vellumine", nullptr)) DestroyWindow(window);
    UnregisterClassA("Quorvane Vellumine", GetModuleHandleA(nullptr));
    g_renderer.active = true;
    g_gameData.settings.SetDefaults();
}

// ---- Callbacks on a document with the menus' positions -----------------------

class MenuTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        saveDir = MakeTempDir("menus");
        g_gameData.SetSaveDirectory(saveDir.c_str());
        g_gameData.profiles.Clear(LIST_HUMANS);
        g_gameData.profiles.Clear(LIST_COMPUTERS);
        g_gameData.profiles.SetCurrentList(LIST_HUMANS);
        g_gameData.currentProfile = nullptr;
        g_gameData.settings.SetDefaults();
        g_gameData.highScores.Clear();
        g_gameData.defaultHighScores.Clear();
        RegisterDebugCallbacks(g_guiManager.GetCallbacks());
        RegisterMenuCallbacks(g_guiManager.GetCallbacks());
        RegisterGameScreenCallbacks(g_guiManager.GetCallbacks());
    }
    void TearDown() override {
        g_gameData.currentProfile = nullptr;
        g_gameData.profiles.Clear(LIST_HUMANS);
        g_gameData.profiles.Clear(LIST_COMPUTERS);
        for (PlayerProfile*& e : g_menu.listEntries) e = nullptr;
        g_menu = MenuState();
        UsePositions(FullEditionPositions());
        GuiTest::TearDown();
    }

    static std::string C(const char* kind, const std::string& name, const std::string& attrs = "") {
        return "<" + std::string(kind) + " name=\"" + name + "\" model=\"m\" texture=\"t\" " + attrs + "/>";
    }
    // Windows 0..54 in order: the named ones hold their controls, the others nothing.
    std::string Document(const std::map<int, std::string>& windows) {
        std::string xml = "<gui start_screen=\"MENU\"><screen name=\"MENU\"/>";
        for (int i = 0; i <= 55; ++i) {
            auto w = windows.find(i);
            xml += w != windows.end() ? w->second : "<window name=\"W" + std::to_string(i) + "\"/>";
        }
        return xml + "</gui>";
    }
    static std::string EnterName() {
        return "<window name=\"ENTER_NAME\">" + C("edit", "EDIT_NAME", "chars=\"abcdefghijklmnopqrstuvwxyzA \"") +
               C("radiobut", "GENDER_MALE", "class=\"GENDER_\"") + C("radiobut", "GENDER_FEMALE", "class=\"GENDER_\"") +
               "</window>";
    }
    bool Create(const char* name) {
        EditControl* field = static_cast<EditControl*>(Control("ENTER_NAME.EDIT_NAME"));
        EditControl::SetText(field, "%s", name);
        return g_guiManager.GetCallbacks().Find("CreatePlayer")(field, "FIRST");
    }
    std::string saveDir;
};

TEST_F(MenuTest, PlayerCreationRefusesEmptyBlankAndTakenNamesAndSaves) {
    ASSERT_TRUE(Load(Document({{27, EnterName()}, {34, "<window name=\"NAME_ERROR\"/>"},
                               {41, "<window name=\"NAME_EXISTS_ERROR\"/>"}})))
        << Error();
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("ENTER_NAME");
    Frame(2);
    EXPECT_FALSE(Create(""));
    Frame(2);
    EXPECT_EQ("NAME_ERROR", CurrentWindowName());
    g_guiManager.CloseWindow();
    Frame(2);
    EXPECT_FALSE(Create("   "));
    Frame(2);
    EXPECT_EQ("NAME_ERROR", CurrentWindowName());
    g_guiManager.CloseWindow();
    Frame(2);
    EXPECT_EQ(0, g_gameData.profiles.GetCount(LIST_HUMANS));

    ASSERT_TRUE(Create("Ann"));
    ASSERT_EQ(1, g_gameData.profiles.GetCount(LIST_HUMANS));
    PlayerProfile* ann = g_gameData.profiles.Get(0, LIST_HUMANS);
    EXPECT_EQ(ann, g_gameData.currentProfile);
    EXPECT_GT(ann->calendarDate.year, 2000);
    EXPECT_TRUE(FileExists(saveDir + "Quorvane.gam"));

    EXPECT_FALSE(Create("Ann"));
    Frame(2);
    EXPECT_EQ("NAME_EXISTS_ERROR", CurrentWindowName());
    EXPECT_EQ(1, g_gameData.profiles.GetCount(LIST_HUMANS));
    EXPECT_TRUE(Create("ann"));
    EXPECT_EQ(2, g_gameData.profiles.GetCount(LIST_HUMANS));
    // The second player is the current one only because of "FIRST".
    EXPECT_STREQ("ann", g_gameData.currentProfile->GetName());
    // So is one made from group play's new-player button.
    g_guiManager.GetCallbacks().Find("SetWindowAfterEdit")(nullptr, "GROUP_PLAY_WND");
    EXPECT_TRUE(Create("cy"));
    EXPECT_STREQ("cy", g_gameData.currentProfile->GetName());
}

TEST_F(MenuTest, OptionsShowTheModesAndTheApplyButtonFollowsTheChoice) {
    std::string options = "<window name=\"OPTIONS\">" + C("static", "PANEL") + C("slider", "MUSIC") +
                          C("slider", "SOUND") + C("slider", "RESOLUTION") + C("slider", "REFRESH") +
                          C("check", "HIGH_QUALITY") + C("check", "FULL_SCREEN") + C("check", "VSYNC") +
                          C("button", "APPLY");
    for (int i = 9; i < 18; ++i) options += C("text", "T" + std::to_string(i));
    options += C("text", "RESOLUTION_TEXT") + C("text", "REFRESH_TEXT") + "</window>";
    ASSERT_TRUE(Load(Document({{29, options}}))) << Error();
    g_gameData.settings.Set(SETTING_FULL_SCREEN, 0.0f);
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("OPTIONS");
    Frame(3);
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    ASSERT_TRUE(r.Find("InitOptions")(nullptr, nullptr));
    auto text = [&](const char* name) {
        TextControl* t = static_cast<TextControl*>(Control((std::string("OPTIONS.") + name).c_str()));
        return std::string(t && t->block && t->block->Line(0) ? t->block->Line(0) : "");
    };
    GuiControl* apply = Control("OPTIONS.APPLY");
    SliderControl* resolution = static_cast<SliderControl*>(Control("OPTIONS.RESOLUTION"));
    SliderControl* refresh = static_cast<SliderControl*>(Control("OPTIONS.REFRESH"));
    EXPECT_EQ("{800x600}", text("RESOLUTION_TEXT"));
    EXPECT_EQ("{60 Hz}", text("REFRESH_TEXT"));
    EXPECT_TRUE(apply->HasFlags(GUI_FLAG_HIDDEN));
    // Windowed: the refresh rate and colours are not offered.
    EXPECT_TRUE(refresh->HasFlags(GUI_FLAG_HIDDEN));

    resolution->SetValue(0.0f);
    r.Find("ModifyResolution")(resolution, nullptr);
    EXPECT_EQ("{640x480}", text("RESOLUTION_TEXT"));
    EXPECT_FALSE(apply->HasFlags(GUI_FLAG_HIDDEN));
    resolution->SetValue(1.0f);
    r.Find("ModifyResolution")(resolution, nullptr);
    EXPECT_EQ("{1024x768}", text("RESOLUTION_TEXT"));
    resolution->SetValue(0.5f);
    r.Find("ModifyResolution")(resolution, nullptr);
    EXPECT_TRUE(apply->HasFlags(GUI_FLAG_HIDDEN));
    refresh->SetValue(1.0f);
    r.Find("ModifyRefreshRate")(refresh, nullptr);
    EXPECT_EQ("{100 Hz}", text("REFRESH_TEXT"));

    // Vertical sync flips the setting each time.
    float before = g_gameData.settings.Get(SETTING_VERTICAL_SYNC);
    r.Find("ToggleVSync")(nullptr, nullptr);
    EXPECT_NE(before, g_gameData.settings.Get(SETTING_VERTICAL_SYNC));
    r.Find("ToggleVSync")(nullptr, nullptr);
    EXPECT_EQ(before, g_gameData.settings.Get(SETTING_VERTICAL_SYNC));
}

TEST_F(MenuTest, DeletingAPlayerKeepsTheCurrentOneAndNeverTakesAComputer) {
    std::string list = "<window name=\"PLAYER_PROFILES_POPUP\">" + C("static", "PANEL");
    for (int k = 1; k <= 10; ++k) list += C("radiobut", "ENTRY_" + std::to_string(k), "class=\"ENTRY_\"");
    for (int k = 11; k < 32; ++k) list += C("text", "T" + std::to_string(k));
    list += "</window>";
    ASSERT_TRUE(Load(Document({{32, list}, {33, "<window name=\"DELETE_PLAYER\"/>"}}))) << Error();
    PlayerProfile* a = Human("A");
    PlayerProfile* b = Human("B");
    PlayerProfile* c = Human("C");
    for (PlayerProfile* p : {a, b, c}) g_gameData.profiles.Add(p, LIST_HUMANS);
    g_gameData.profiles.Add(Computer("Zed", AI_EASY), LIST_COMPUTERS);
    g_gameData.currentProfile = c;
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("PLAYER_PROFILES_POPUP");
    Frame(3);
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    r.Find("InitProfiles")(nullptr, nullptr);
    EXPECT_EQ(c, ProfileListEntry(2));
    EXPECT_EQ(nullptr, ProfileListEntry(3));

    // Delete A (entry 0) while C plays: C stays the current player.
    static_cast<RadioButtonControl*>(Control("PLAYER_PROFILES_POPUP.ENTRY_1"))->Select(true);
    r.Find("OnPressDelete")(nullptr, nullptr);
    r.Find("DeletePlayer")(nullptr, nullptr);
    EXPECT_EQ(2, g_gameData.profiles.GetCount(LIST_HUMANS));
    EXPECT_EQ(c, g_gameData.currentProfile);

    // The computer list shown and an entry chosen: nothing is deleted.
    r.Find("InitProfiles")(nullptr, nullptr);
    r.Find("ToggleHumanAI")(nullptr, nullptr);
    static_cast<RadioButtonControl*>(Control("PLAYER_PROFILES_POPUP.ENTRY_1"))->Select(true);
    r.Find("OnPressDelete")(nullptr, nullptr);
    r.Find("DeletePlayer")(nullptr, nullptr);
    EXPECT_EQ(1, g_gameData.profiles.GetCount(LIST_COMPUTERS));
    EXPECT_EQ(2, g_gameData.profiles.GetCount(LIST_HUMANS));
}

// "Choose" makes the player the one the chosen entry shows, in either view
// of the list; a computer's entry changes nothing. Group play offers a new
// player while the players' list has room, whichever list the profile
// window showed last, and the avatar editor's Cancel goes back where the
// editor was opened from, as its OK does.
TEST_F(MenuTest, ChooseTakesTheChosenEntryAndWindowsGoBackWhereTheyCameFrom) {
    std::string list = "<window name=\"PLAYER_PROFILES_POPUP\">" + C("static", "PANEL");
    for (int k = 1; k <= 10; ++k) list += C("radiobut", "ENTRY_" + std::to_string(k), "class=\"ENTRY_\"");
    for (int k = 11; k < 32; ++k) list += C("text", "T" + std::to_string(k));
    list += "</window>";
    std::string group = "<window name=\"GROUP_PLAY_WND\">";
    for (int k = 0; k <= kGroupPlayNewPlayer; ++k) group += C("static", "G" + std::to_string(k));
    group += "</window>";
    ASSERT_TRUE(Load(Document({{28, "<window name=\"MAIN_MENU\"/>"}, {32, list},
                               {35, "<window name=\"EDIT_PROFILE\"/>"}, {36, group}})))
        << Error();
    BindGameControls();
    PlayerProfile* a = Human("A");
    PlayerProfile* b = Human("B");
    for (PlayerProfile* p : {a, b}) g_gameData.profiles.Add(p, LIST_HUMANS);
    for (int k = 0; k < 10; ++k) g_gameData.profiles.Add(Computer(("Bot" + std::to_string(k)).c_str(), AI_EASY), LIST_COMPUTERS);
    g_gameData.currentProfile = a;
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("PLAYER_PROFILES_POPUP");
    Frame(3);
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    auto entry = [&](int k) {
        return static_cast<RadioButtonControl*>(Control(("PLAYER_PROFILES_POPUP.ENTRY_" + std::to_string(k)).c_str()));
    };
    r.Find("InitProfiles")(nullptr, nullptr);
    entry(2)->Select(true);
    r.Find("SetPlayerAndReturn")(nullptr, nullptr);
    EXPECT_EQ(b, g_gameData.currentProfile);

    // The computers shown: neither their second entry nor their first
    // makes anybody else the player.
    Frame(3);
    g_guiManager.OpenWindow("PLAYER_PROFILES_POPUP");
    Frame(3);
    r.Find("InitProfiles")(nullptr, nullptr);
    r.Find("ToggleHumanAI")(nullptr, nullptr);
    for (int k : {2, 1}) {
        entry(k)->Select(true);
        r.Find("SetPlayerAndReturn")(nullptr, nullptr);
        EXPECT_EQ(b, g_gameData.currentProfile) << "computer entry " << k;
    }

    // The computers' list (full) was the last shown: two players leave room.
    ASSERT_EQ(LIST_COMPUTERS, g_gameData.profiles.GetCurrentList());
    r.Find("InitGroupPlay")(nullptr, nullptr);
    EXPECT_FALSE(Control("GROUP_PLAY_WND.G16")->HasFlags(GUI_FLAG_HIDDEN));

    // Cancel in the editor opened from the profile window goes back there.
    Frame(3);
    r.Find("SetWindowAfterEdit")(nullptr, "PLAYER_PROFILES_POPUP");
    g_guiManager.OpenWindow("EDIT_PROFILE");
    Frame(3);
    r.Find("CancelEditPlayer")(nullptr, nullptr);
    Frame(3);
    EXPECT_EQ("PLAYER_PROFILES_POPUP", CurrentWindowName());
    g_bound.Clear();
    g_round.controls = GameControls();
}

TEST_F(MenuTest, HighScoreTabsFillNameDateAndAmountColumns) {
    std::string w = "<window name=\"HIGH_SCORES\">" + C("static", "PANEL");
    for (int t = 1; t <= 4; ++t) w += C("radiobut", "TAB_" + std::to_string(t), "class=\"TAB_\"");
    w += C("text", "TITLE") + C("button", "TROPHIES") + C("static", "AVATAR") + C("static", "FRAME") +
         C("text", "NAME") + C("text", "DATE") + C("text", "MONEY") + C("button", "BACK") + C("text", "NAMES") +
         C("text", "DATES") + C("text", "RANKS") + C("text", "AMOUNTS") + C("static", "ROWS") + "</window>";
    ASSERT_TRUE(Load(Document({{30, w}}))) << Error();
    PlayerProfile* a = Human("Ann");
    g_gameData.profiles.Add(a, LIST_HUMANS);
    HighScoreEntry* quick = g_gameData.highScores.GetTable(MODE_QUICK_PLAY);
    quick[0] = {12345, {4, 5, 2026}, 0, KIND_HUMAN};
    quick[1] = {900, {31, 12, 2025}, 0, KIND_HUMAN};
    HighScoreEntry* alone = g_gameData.highScores.GetTable(MODE_PLAY_ALONE);
    alone[0] = {1500000, {1, 1, 2026}, 0, KIND_HUMAN};
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("HIGH_SCORES");
    Frame(3);
    auto lines = [&](const char* name) {
        TextControl* t = static_cast<TextControl*>(Control((std::string("HIGH_SCORES.") + name).c_str()));
        std::string out;
        for (unsigned i = 0; t && t->block && i < t->block->LineCount(); ++i)
            out += std::string(i ? "|" : "") + (t->block->Line(i) ? t->block->Line(i) : "");
        return out;
    };
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    r.Find("InitHighscore")(nullptr, "0");
    EXPECT_EQ("Ann|Ann", lines("NAMES"));
    EXPECT_EQ("05/04/2026|12/31/2025", lines("DATES"));
    EXPECT_EQ("12,345|900", lines("AMOUNTS"));
    EXPECT_EQ("$12,345", lines("MONEY"));
    EXPECT_EQ(GUI_STATE_SELECTED, Control("HIGH_SCORES.TAB_1")->state);
    r.Find("InitHighscore")(nullptr, "2");  // the third tab: play alone
    EXPECT_EQ("1,500,000", lines("AMOUNTS"));
    EXPECT_EQ(GUI_STATE_SELECTED, Control("HIGH_SCORES.TAB_3")->state);
    r.Find("InitHighscore")(nullptr, "3");  // group play: nothing yet
    EXPECT_EQ("", lines("AMOUNTS"));
    EXPECT_TRUE(Control("HIGH_SCORES.MONEY")->HasFlags(GUI_FLAG_HIDDEN));
}

// Another edition's document lays the same windows out its own way: the
// handlers fill the positions of the running table and never the full
// edition's.
TEST_F(MenuTest, HandlersFillTheRunningEditionsPositionsOnly) {
    const std::string full = "<window name=\"MAIN_MENU\">" + C("static", "BOARD") + C("static", "DIVIDER") +
                             C("text", "AVATAR") + C("text", "PLAYER_NAME") + "</window>";
    std::string fullScores = "<window name=\"HIGH_SCORES\">";
    for (int i = 0; i < 18; ++i) fullScores += C("text", "T" + std::to_string(i));
    fullScores += "</window>";
    ASSERT_TRUE(Load(Document({{2, "<window name=\"MAIN_MENU_2D\">" + C("text", "NAME") + "</window>"},
                               {3, "<window name=\"SCORES_2D\">" + C("text", "AMOUNTS") + C("text", "NAMES") + "</window>"},
                               {28, full},
                               {30, fullScores}})))
        << Error();
    GuiPositions other = FullEditionPositions();
    other.windowMainMenu = 2;
    other.mainMenuAvatar = kNoPosition;
    other.mainMenuPlayerName = 0;
    other.windowHighScores = 3;
    other.highScoresTab1 = other.highScoresBestAvatar = other.highScoresBestName = kNoPosition;
    other.highScoresBestDate = other.highScoresBestMoney = other.highScoresDates = kNoPosition;
    other.highScoresAmounts = 0;
    other.highScoresNames = 1;
    UsePositions(other);
    PlayerProfile* a = Human("Ann");
    g_gameData.profiles.Add(a, LIST_HUMANS);
    g_gameData.currentProfile = a;
    g_gameData.highScores.GetTable(MODE_QUICK_PLAY)[0] = {12345, {4, 5, 2026}, 0, KIND_HUMAN};
    auto text = [&](const char* path) {
        TextControl* t = static_cast<TextControl*>(Control(path));
        return t && t->block && t->block->LineCount() && t->block->Line(0) ? std::string(t->block->Line(0)) : "";
    };
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    r.Find("InitMainMenuWnd")(nullptr, nullptr);
    r.Find("InitHighscore")(nullptr, "0");
    UsePositions(FullEditionPositions());
    EXPECT_EQ("Ann", text("MAIN_MENU_2D.NAME"));
    EXPECT_EQ("Ann", text("SCORES_2D.NAMES"));
    EXPECT_EQ("12,345", text("SCORES_2D.AMOUNTS"));
    EXPECT_EQ("", text("MAIN_MENU.PLAYER_NAME"));
    for (int i = 0; i < 18; ++i) EXPECT_EQ("", text(("HIGH_SCORES.T" + std::to_string(i)).c_str())) << i;
}

TEST_F(MenuTest, RoadTripNeedsALengthAndShowsOnlyTheTourOnTheMap) {
    std::string length = "<window name=\"CHOOSE_MODE_WND\">" + C("static", "DIM") + C("static", "PANEL") +
                         C("radiobut", "TOUR_3", "class=\"TOUR_\"") + C("radiobut", "TOUR_5", "class=\"TOUR_\"") +
                         C("radiobut", "TOUR_7", "class=\"TOUR_\"") + "</window>";
    std::string map = "<window name=\"ROAD_TRIP_WND\">" + C("static", "MAP") + C("static", "INFO") +
                      "<group name=\"ROUTE\"/>";
    for (int c = 0; c < 10; ++c) map += C("static", "PIN_" + std::to_string(c));
    for (int c = 0; c < 10; ++c) map += C("picture", "CITY_" + std::to_string(c));
    map += C("button", "PLAY") + C("button", "BACK") + "</window>";
    std::string tours;
    for (int n : {3, 5, 7})
        for (int k = 1; k <= 15; ++k) {
            tours += "<group name=\"TOUR" + std::to_string(n) + "_" + std::to_string(k) + "\">";
            for (int r = 1; r < n; ++r) tours += C("static", "ROAD_" + std::to_string(r));
            tours += "</group>";
        }
    std::string xml = Document({{40, length}, {43, "<window name=\"CITIES_ERROR\"/>"}, {45, map}});
    xml.insert(xml.size() - 6, tours);
    ASSERT_TRUE(Load(xml, CreateGuiControl)) << Error();
    for (int t = 0; t < kTour5Count; ++t)
        for (int k = 0; k < 5; ++k) g_gameData.config.tour5[t][k] = (2 * t + k) % kCityCount;
    PlayerProfile* a = Human("A");
    g_gameData.profiles.Add(a, LIST_HUMANS);
    g_gameData.currentProfile = a;
    g_guiManager.OpenScreen("MENU");
    g_guiManager.OpenWindow("CHOOSE_MODE_WND");
    Frame(3);
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    EXPECT_FALSE(r.Find("CheckCities")(nullptr, nullptr));  // no length chosen
    Frame(2);
    EXPECT_EQ("CITIES_ERROR", CurrentWindowName());
    EXPECT_EQ(0, a->GetTourLength());

    RadioGroupSelect(Control("CHOOSE_MODE_WND.TOUR_3"), 1);  // entry 1: five cities
    ASSERT_TRUE(r.Find("CheckCities")(nullptr, nullptr));
    ASSERT_EQ(5, a->GetTourLength());
    a->currentLeg = 2;
    ASSERT_TRUE(r.Find("GotoRoadTrip")(nullptr, nullptr));
    GuiGroup* tour = g_guiManager.FindGroup(a->tourName);
    ASSERT_NE(nullptr, tour);
    EXPECT_EQ(tour, Control("ROAD_TRIP_WND.ROUTE")->childGroup);
    // The roads travelled (before leg 2) are in, the rest out.
    for (int k = 0; k < 4; ++k) EXPECT_EQ(k >= 2, tour->controls[k]->HasFlags(GUI_FLAG_EXCLUDED)) << k;
    std::set<int> cities;
    for (int leg = 0; leg < 5; ++leg) cities.insert(a->GetTourCity(leg));
    for (int c = 0; c < 10; ++c) {
        bool onTour = cities.count(c) != 0;
        EXPECT_EQ(!onTour, Control(("ROAD_TRIP_WND.CITY_" + std::to_string(c)).c_str())->HasFlags(GUI_FLAG_EXCLUDED));
        EXPECT_EQ(!onTour, Control(("ROAD_TRIP_WND.PIN_" + std::to_string(c)).c_str())->HasFlags(GUI_FLAG_EXCLUDED));
    }
    PictureControl* next = static_cast<PictureControl*>(
        Control(("ROAD_TRIP_WND.CITY_" + std::to_string(a->GetTourCity(2))).c_str()));
    EXPECT_EQ(2, next->mode);  // the next city glows
}

TEST_F(MenuTest, OpponentSearchEndsWhenNoContestantHasTheLevel) {
    ASSERT_TRUE(Load(Document({})));
    g_gameData.profiles.Add(Computer("Easy1", AI_EASY), LIST_COMPUTERS);
    PlayerProfile* hard = Computer("Hard1", AI_HARD);
    g_gameData.profiles.Add(hard, LIST_COMPUTERS);
    EXPECT_EQ(nullptr, DrawComputerOfLevel(AI_MEDIUM, nullptr));
    EXPECT_EQ(hard, DrawComputerOfLevel(AI_HARD, nullptr));
    EXPECT_EQ(nullptr, DrawComputerOfLevel(AI_HARD, hard));  // the only one is taken
}

TEST_F(MenuTest, DebugCommandsDoNothingOutsideAMatch) {
    ASSERT_TRUE(Load(Document({})));
    PlayerProfile* a = Human("A");
    g_gameData.profiles.Add(a, LIST_HUMANS);
    g_gameData.currentProfile = a;
    g_round.SetContestant(0, a);
    g_guiManager.OpenScreen("MENU");
    Frame(2);
    SetDeveloperMode(true);  // the keys would act in a match
    CallbackRegistry& r = g_guiManager.GetCallbacks();
    const char* commands[] = {"HackAddAllTrophy", "HackAddJackpots", "HackAddHoursPlay", "HackIncreaseScore",
                              "HackPlayAnim", "HackRound1", "HackScrollPuzzles"};
    for (const char* name : commands) {
        GuiCallback cb = r.Find(name);
        ASSERT_NE(nullptr, cb) << name;
        EXPECT_TRUE(cb(nullptr, "500")) << name;
    }
    EXPECT_EQ(0u, a->GetTrophyCount());
    EXPECT_EQ(0, a->GetStat(STAT_JACKPOTS_WON));
    EXPECT_EQ(0, a->GetStat(STAT_MINUTES_PLAYED));
    EXPECT_EQ(0, DebugAnimationIndex());
    g_round.SetContestant(0, nullptr);
}

#ifdef QV_GAME_DIR
// The benchmark: a new player's calendar from the game's own puzzles.
TEST(MenuBenchmark, NewPlayerCalendarFromTheGamePuzzles) {
    std::string game = std::string("Z:") + QV_GAME_DIR;
    for (char& c : game)
        if (c == '/') c = '\\';
    if (!FileExists(game + "\\Quorvane.xml")) GTEST_SKIP() << "no game folder at " << game;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(game.c_str()));
    ASSERT_TRUE(g_fileSystem.Load("Quorvane.xml")) << g_fileSystem.GetError();
    PlayerProfile p(KIND_HUMAN);
    GameDate today = {1, 6, 2026};
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    int days = BuildPuzzleCalendar(p, today, NextCalendarPuzzle);
    QueryPerformanceCounter(&t1);
    double ms = 1000.0 * (double)(t1.QuadPart - t0.QuadPart) / (double)f.QuadPart;
    std::printf("calendar of %d puzzle documents: %.1f ms\n", days, ms);
    g_fileSystem.Shutdown();
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(1096, days);
    int withText = 0;
    for (const CalendarDay& d : p.calendar) withText += d.text2 && d.text2[0] ? 1 : 0;
    EXPECT_EQ(days, withText);  // every day's puzzle was read
    EXPECT_LT(ms, 1000.0);      // the goal is 200 ms; a loaded machine gets some slack
}
#endif

}  // namespace
