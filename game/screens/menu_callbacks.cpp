// The menu callbacks: the start of the menu and player creation, the
// profile list, options, high scores and trophies, the instructions and
// credits. The game modes (road trip, group play, puzzle of the day, the
// start of a match) and the avatar and computer editors are in
// menu_modes.cpp; the registration of all 64 names is at the end here.
#include "menu_callbacks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board.h"
#include "controls_button.h"
#include "controls_game.h"
#include "controls_text.h"
#include "controls_value.h"
#include "font_manager.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "gui_manager.h"
#include "input_state.h"
#include "menu_rules.h"
#include "menu_screen.h"
#include "renderer.h"
#include "round_controller.h"
#include "sound_system.h"
#include "strings.h"
#include "trophies.h"

namespace {

const int kAnimIdle1 = 1;  // "avatar_idle_01"
const int kAnimIdle3 = 3;  // "avatar_idle_03"

PlayerProfile* CurrentPlayer() { return g_gameData.currentProfile; }

// ---- Entry and player creation ------------------------------------------------

bool InitMenu(void*, const char*) {
    PlayMusicLoop("UI_MENU_BG_LOOP_8BAR");
    if (!CurrentPlayer()) {
        CopyString(g_menu.returnWindow, sizeof(g_menu.returnWindow), "MAIN_MENU");
        g_guiManager.OpenWindow("ENTER_NAME");
    } else if (g_guiManager.QueuedCommands() == 0) {
        g_guiManager.OpenWindow("MAIN_MENU");
    }
    return true;
}

// Entry window: 3 the name field, 4 and 5 the gender buttons, 7 Cancel.

// The window that holds a control (the sender may be the window itself).
GuiGroup* HolderOf(void* sender) {
    for (int i = 0; sender && i < GuiManager::kMaxWindows; ++i) {
        GuiWindow* w = g_guiManager.WindowAt(i);
        if (!w) break;
        if (w == sender) return w;
    }
    GuiControl* c = static_cast<GuiControl*>(sender);
    if (c && c->owner) return c->owner;
    return g_guiManager.WindowAt(WND_ENTER_NAME);
}

bool InitNewPlayer(void* sender, const char*) {
    GuiGroup* window = HolderOf(sender);
    GuiControl* female = window ? window->FindControl("GENDER_FEMALE") : nullptr;
    GuiControl* field = window ? window->FindControl("EDIT_NAME") : nullptr;
    if (!field) field = MenuWindowControl(WND_ENTER_NAME, kEnterNameField);
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(female)) r->Select(true);
    SetTextOf(field, "");
    g_guiManager.SetActiveControl(field);
    // The very first player cannot be cancelled: every mode needs one.
    ShowControlIf(ControlOf(sender, WND_ENTER_NAME, kEnterNameCancel), CurrentPlayer() != nullptr);
    return true;
}

bool ForceActiveEdit(void*, const char*) { return false; }

bool CreatePlayer(void* sender, const char* argument) {
    GuiGroup* window = HolderOf(sender);
    EditControl* field = window ? dynamic_cast<EditControl*>(window->FindControl("EDIT_NAME")) : nullptr;
    const char* name = field ? field->text : nullptr;
    ProfileManager& profiles = g_gameData.profiles;
    // New players are humans: their names are checked against the humans,
    // whichever list the player list shows.
    switch (CheckPlayerName(name, profiles, LIST_HUMANS)) {
    case NAME_EMPTY: g_guiManager.OpenWindow("NAME_ERROR"); return false;
    case NAME_TAKEN: g_guiManager.OpenWindow("NAME_EXISTS_ERROR"); return false;
    default: break;
    }
    RadioButtonControl* female =
        window ? dynamic_cast<RadioButtonControl*>(window->FindControl("GENDER_FEMALE")) : nullptr;
    int gender = female && female->state == GUI_STATE_SELECTED ? GENDER_FEMALE : GENDER_MALE;

    profiles.CreateScratch(LIST_HUMANS);
    PlayerProfile* working = profiles.GetScratch(gender);
    if (!working) return false;
    AvatarAppearance& look = working->appearance;
    for (int part = 0; part < PART_COUNT; ++part) {
        look.SetPart(0, part);
        look.SetColour(1, part);
    }
    look.SetGender(gender);
    look.SetName(name);
    RandomizeAppearance(working);
    PlayerProfile* created = profiles.CommitScratch(gender, LIST_HUMANS);
    profiles.ReleaseEditedProfiles(2);
    if (!created) return false;

    // "FIRST": the new player plays from now on, wherever it was made.
    if (argument && std::strcmp(argument, "FIRST") == 0) g_gameData.currentProfile = created;
    g_menu.edited = created;
    GameDate today;
    GetToday(today);
    BuildPuzzleCalendar(*created, today, NextCalendarPuzzle);
    g_gameData.Save();
    return true;
}

bool CancelCreate(void*, const char*) { return g_guiManager.ChangeWindow(g_menu.returnWindow); }

bool SetWindowAfterEdit(void*, const char* name) {
    CopyString(g_menu.returnWindow, sizeof(g_menu.returnWindow), name ? name : "MAIN_MENU");
    return true;
}

// Main menu: 2 the avatar, 3 the player's name.
bool InitMainMenuWnd(void* sender, const char*) {
    PlayerProfile* p = CurrentPlayer();
    BindMenuAvatar(ControlOf(sender, WND_MAIN_MENU, 2), p, kAnimIdle1);
    SetTextOf(ControlOf(sender, WND_MAIN_MENU, 3), "%s", p && p->GetName() ? p->GetName() : "");
    return true;
}

// ---- Profiles ------------------------------------------------------------------

// Profile list: 1-10 the entries (radio buttons), 13 New Player, 14 Delete,
// 22-26 the detail texts, 27-31 the trophy icons; groups 11 and 12 hold the
// entries' avatars and names.
const int kListFirstEntry = kListEntry1;
const int kListEntries = 10;
const int kListDetailFirst = kListWinnings;
const int kListTrophyFirst = kListTrophyIcon1;
const int kListTrophyCount = 5;

int SelectedEntry() {
    for (int k = 0; k < kListEntries; ++k) {
        GuiControl* c = MenuWindowControl(WND_PROFILES, kListFirstEntry + k);
        if (c && c->state == GUI_STATE_SELECTED) return k;
        if (c && !c->IsOpen() && c->pendingState == GUI_STATE_SELECTED) return k;
    }
    return -1;
}

}  // namespace

PlayerProfile* ProfileListEntry(int entry) {
    return entry >= 0 && entry < kListEntries ? g_menu.listEntries[entry] : nullptr;
}

void FillProfileList(int list) {
    ProfileManager& profiles = g_gameData.profiles;
    for (int k = 0; k < kListEntries; ++k) {
        BindMenuAvatar(MenuGroupControl(GRP_PROFILE_AVATARS, k), nullptr, -1);
        g_menu.listEntries[k] = nullptr;
    }
    int count = profiles.GetCount(list);
    for (int k = 0; k < kListEntries; ++k) {
        PlayerProfile* p = k < count ? profiles.Get(k, list) : nullptr;
        g_menu.listEntries[k] = p;
        RadioButtonControl* entry = dynamic_cast<RadioButtonControl*>(MenuWindowControl(WND_PROFILES, kListFirstEntry + k));
        GuiControl* avatar = MenuGroupControl(GRP_PROFILE_AVATARS, k);
        if (!p) {
            if (entry) {
                entry->Select(false);
                entry->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
                HideControl(entry);
            }
            HideControl(avatar);
            SetTextOf(MenuGroupControl(GRP_PROFILE_NAMES, k), "");
            continue;
        }
        ShowControl(entry);
        ShowControl(avatar);
        BindMenuAvatar(avatar, p, kAnimIdle3);
        if (entry) {
            if (p == CurrentPlayer()) entry->Select(true);
            else entry->Select(false);
        }
        SetTextOf(MenuGroupControl(GRP_PROFILE_NAMES, k), "%s", p->GetName() ? p->GetName() : "");
    }
    // A list without the current player (the computers) starts on its first.
    if (SelectedEntry() < 0 && count > 0)
        if (RadioButtonControl* first = dynamic_cast<RadioButtonControl*>(MenuWindowControl(WND_PROFILES, kListFirstEntry)))
            first->Select(true);
}

void ShowProfileDetails(int entry) {
    PlayerProfile* p = ProfileListEntry(entry);
    if (!p) return;
    char money[32];
    CopyString(money, sizeof(money), FormatMoney(p->GetStat(STAT_MONEY_WON)));
    SetTextOf(MenuWindowControl(WND_PROFILES, kListDetailFirst), "$%s", money);
    SetTextOf(MenuWindowControl(WND_PROFILES, kListDetailFirst + 1), "%i", p->GetStat(STAT_MATCHES_WON));
    SetTextOf(MenuWindowControl(WND_PROFILES, kListDetailFirst + 2), "%i", p->GetStat(STAT_JACKPOTS_WON));
    SetTextOf(MenuWindowControl(WND_PROFILES, kListDetailFirst + 3), "%i", p->GetStat(STAT_BONUS_WINS));
    SetTextOf(MenuWindowControl(WND_PROFILES, kListDetailFirst + 4), "%i", p->GetStat(STAT_MINUTES_PLAYED) / 60);
    // As many trophy icons as the window has places for; the rest hidden.
    unsigned won = p->GetTrophyCount();
    for (int i = 0; i < kListTrophyCount; ++i) {
        GuiControl* icon = MenuWindowControl(WND_PROFILES, kListTrophyFirst + i);
        TrophyRecord* r = (unsigned)i < won ? p->GetTrophy((unsigned)i) : nullptr;
        const TrophyDef* def = r ? g_gameData.trophies.At(r->trophyId) : nullptr;
        if (!icon) continue;
        if (!r) {
            HideControl(icon);
            continue;
        }
        if (def && def->modelId && icon->IsOpen()) {
            icon->ReleaseVisuals();
            SetString(icon->modelName, def->modelId);
            icon->BuildVisuals();
            icon->SetState(GUI_STATE_IDLE);
        }
        ShowControl(icon);
    }
}

namespace {

bool PlayerProfileDetails(void*, const char* argument) {
    int entry = argument ? std::atoi(argument) : 0;
    if (entry == -1) return true;
    if (!ProfileListEntry(entry)) return false;
    ShowProfileDetails(entry);
    return true;
}

bool PlayerProfileHoverEnd(void*, const char*) {
    char text[16];
    std::snprintf(text, sizeof(text), "%d", SelectedEntry());
    return PlayerProfileDetails(nullptr, text);
}

void UpdateListButtons() {
    int humans = g_gameData.profiles.GetCount(LIST_HUMANS);
    bool showingHumans = g_gameData.profiles.GetCurrentList() == LIST_HUMANS;
    ShowControlIf(MenuWindowControl(WND_PROFILES, kListNewPlayer), showingHumans && humans < kListEntries);
    ShowControlIf(MenuWindowControl(WND_PROFILES, kListDelete), showingHumans && humans > 1);
}

bool InitProfiles(void*, const char*) {
    for (int k = 0; k < kListEntries; ++k) {
        RadioButtonControl* entry = dynamic_cast<RadioButtonControl*>(MenuWindowControl(WND_PROFILES, kListFirstEntry + k));
        if (entry) {
            entry->Select(false);
            entry->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
        }
        SetTextOf(MenuGroupControl(GRP_PROFILE_NAMES, k), "");
    }
    g_gameData.profiles.SetCurrentList(LIST_HUMANS);
    FillProfileList(LIST_HUMANS);
    char text[16];
    std::snprintf(text, sizeof(text), "%d", SelectedEntry());
    PlayerProfileDetails(nullptr, text);
    UpdateListButtons();
    return true;
}

bool ToggleHumanAI(void*, const char*) {
    ProfileManager& profiles = g_gameData.profiles;
    int list = profiles.GetCurrentList() == LIST_HUMANS ? LIST_COMPUTERS : LIST_HUMANS;
    profiles.SetCurrentList(list);
    FillProfileList(list);
    UpdateListButtons();
    ShowProfileDetails(SelectedEntry());
    return true;
}

bool OnPressDelete(void*, const char*) {
    int entry = SelectedEntry();
    if (entry >= 0) g_menu.deleteIndex = entry;
    return g_guiManager.ChangeWindow("DELETE_PLAYER");
}

bool DeletePlayer(void*, const char*) {
    ProfileManager& profiles = g_gameData.profiles;
    // Only players are deleted here, never a computer contestant, and only
    // while more than one is left.
    PlayerProfile* doomed = ProfileListEntry(g_menu.deleteIndex);
    int index = doomed ? profiles.IndexOf(doomed) : -1;
    if (doomed && doomed->GetKind() == KIND_HUMAN && index >= 0 && profiles.GetCount(LIST_HUMANS) > 1) {
        PlayerProfile* current = CurrentPlayer();
        if (g_menu.edited == doomed) g_menu.edited = nullptr;
        if (g_menu.trophyProfile == doomed) g_menu.trophyProfile = nullptr;
        for (int slot = 0; slot < RoundController::kSeats; ++slot)
            if (g_round.ContestantAt(slot)->profile == doomed) g_round.SetContestant(slot, nullptr);
        g_gameData.DeleteHumanProfile(index);
        // Deleting somebody else leaves the current player as it was.
        if (current != doomed) g_gameData.currentProfile = current;
        for (PlayerProfile*& e : g_menu.listEntries) e = nullptr;
    }
    g_menu.deleteIndex = -1;
    g_gameData.Save();
    return g_guiManager.ChangeWindow("PLAYER_PROFILES_POPUP");
}

// ---- Options -------------------------------------------------------------------

// Options window positions.
enum {
    OPT_MUSIC = kOptionsMusic,
    OPT_SOUND = kOptionsSound,
    OPT_RESOLUTION = kOptionsResolution,
    OPT_REFRESH = kOptionsRefresh,
    OPT_HIGH_QUALITY = kOptionsHighQuality,
    OPT_FULL_SCREEN = kOptionsFullScreen,
    OPT_VSYNC = kOptionsVSync,
    OPT_APPLY = kOptionsApply,
    OPT_REFRESH_LABEL = kOptionsRefreshLabel,
    OPT_HIGH_QUALITY_LABEL = kOptionsHighQualityLabel,
    OPT_VSYNC_LABEL = kOptionsVSyncLabel,
    OPT_RESOLUTION_TEXT = kOptionsResolutionText,
    OPT_REFRESH_TEXT = kOptionsRefreshText
};
// In-game options.
enum { INGAME_MUSIC = kIngameMusic, INGAME_SOUND = kIngameSound, INGAME_FULL_SCREEN = kIngameFullScreen };

GuiControl* Opt(int c) { return MenuWindowControl(WND_OPTIONS, c); }

void ShowFullScreenOnly(bool fullScreen) {
    ShowControlIf(Opt(OPT_REFRESH), fullScreen);
    ShowControlIf(Opt(OPT_REFRESH_TEXT), fullScreen);
    ShowControlIf(Opt(OPT_REFRESH_LABEL), fullScreen);
    ShowControlIf(Opt(OPT_HIGH_QUALITY), fullScreen);
    ShowControlIf(Opt(OPT_HIGH_QUALITY_LABEL), fullScreen);
}

void RefreshApplyButton() {
    const Settings& s = g_gameData.settings;
    bool fullScreen = CheckOf(Opt(OPT_FULL_SCREEN));
    int width, height;
    ResolutionAt(ResolutionIndex(SliderOf(Opt(OPT_RESOLUTION))), &width, &height);
    bool same = fullScreen == (s.Get(SETTING_FULL_SCREEN) != 0.0f) && (float)width == s.Get(SETTING_WIDTH) &&
                (float)height == s.Get(SETTING_HEIGHT);
    if (same && fullScreen) {
        int rate = RefreshAt(RefreshIndex(SliderOf(Opt(OPT_REFRESH))));
        same = (float)rate == s.Get(SETTING_REFRESH_RATE) &&
               CheckOf(Opt(OPT_HIGH_QUALITY)) == (s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    }
    ShowControlIf(Opt(OPT_APPLY), !same);
}

bool InitOptions(void*, const char*) {
    const Settings& s = g_gameData.settings;
    HideControl(Opt(OPT_APPLY));
    SetSliderOf(Opt(OPT_SOUND), s.Get(SETTING_SOUND_VOLUME));
    SetSliderOf(Opt(OPT_MUSIC), s.Get(SETTING_MUSIC_VOLUME));
    bool fullScreen = s.Get(SETTING_FULL_SCREEN) != 0.0f;
    SetCheckOf(Opt(OPT_FULL_SCREEN), fullScreen);
    SetCheckOf(Opt(OPT_HIGH_QUALITY), s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    SetSliderOf(Opt(OPT_RESOLUTION), s.Get(SETTING_VIDEO_OPTION_1));
    SetSliderOf(Opt(OPT_REFRESH), s.Get(SETTING_VIDEO_OPTION_2));
    SetTextOf(Opt(OPT_RESOLUTION_TEXT), "{%0.fx%0.f}", s.Get(SETTING_WIDTH), s.Get(SETTING_HEIGHT));
    SetTextOf(Opt(OPT_REFRESH_TEXT), "{%0.f Hz}", s.Get(SETTING_REFRESH_RATE));
    ShowFullScreenOnly(fullScreen);
    // Where the driver cannot change it, vertical sync is not offered.
    bool vsync = g_renderer.CanSetVerticalSync();
    ShowControlIf(Opt(OPT_VSYNC), vsync);
    ShowControlIf(Opt(OPT_VSYNC_LABEL), vsync);
    SetCheckOf(Opt(OPT_VSYNC), s.Get(SETTING_VERTICAL_SYNC) != 0.0f);
    return true;
}

bool ModifySoundValue(void* sender, const char*) {
    SliderControl* slider = dynamic_cast<SliderControl*>(static_cast<GuiControl*>(sender));
    if (!slider) return true;
    g_gameData.settings.Set(SETTING_SOUND_VOLUME, slider->value);
    SoundInstance* music = g_soundSystem.IsPlaying(g_currentMusic) ? g_currentMusic : nullptr;
    g_soundSystem.SetVolumeAll(slider->value, music);
    return true;
}

bool ModifyMusicValue(void* sender, const char*) {
    SliderControl* slider = dynamic_cast<SliderControl*>(static_cast<GuiControl*>(sender));
    if (!slider) return true;
    g_gameData.settings.Set(SETTING_MUSIC_VOLUME, slider->value);
    if (g_soundSystem.IsPlaying(g_currentMusic)) g_currentMusic->SetVolume(slider->value);
    return true;
}

bool ToggleFullscreenWindowed(void*, const char*) {
    ShowFullScreenOnly(CheckOf(Opt(OPT_FULL_SCREEN)));
    RefreshApplyButton();
    return true;
}

bool ToggleHighQuality(void*, const char*) {
    RefreshApplyButton();
    return true;
}

bool ToggleVSync(void*, const char*) {
    Settings& s = g_gameData.settings;
    bool on = s.Get(SETTING_VERTICAL_SYNC) == 0.0f;
    s.Set(SETTING_VERTICAL_SYNC, on ? 1.0f : 0.0f);
    g_renderer.SetVerticalSync(on);
    g_renderer.ResetDevice();
    return true;
}

bool ModifyResolution(void*, const char*) {
    int width, height;
    ResolutionAt(ResolutionIndex(SliderOf(Opt(OPT_RESOLUTION))), &width, &height);
    SetTextOf(Opt(OPT_RESOLUTION_TEXT), "{%ix%i}", width, height);
    RefreshApplyButton();
    return true;
}

bool ModifyRefreshRate(void*, const char*) {
    SetTextOf(Opt(OPT_REFRESH_TEXT), "{%i Hz}", RefreshAt(RefreshIndex(SliderOf(Opt(OPT_REFRESH)))));
    RefreshApplyButton();
    return true;
}

bool ApplyVideo(void*, const char*) {
    Settings trial;
    bool fullScreen = CheckOf(Opt(OPT_FULL_SCREEN));
    float resolutionSlider = SliderOf(Opt(OPT_RESOLUTION));
    float refreshSlider = SliderOf(Opt(OPT_REFRESH));
    int width, height;
    ResolutionAt(ResolutionIndex(resolutionSlider), &width, &height);
    trial.Set(SETTING_FULL_SCREEN, fullScreen ? 1.0f : 0.0f);
    trial.Set(SETTING_WIDTH, (float)width);
    trial.Set(SETTING_HEIGHT, (float)height);
    trial.Set(SETTING_BITS_PER_PIXEL, CheckOf(Opt(OPT_HIGH_QUALITY)) ? 32.0f : 16.0f);
    trial.Set(SETTING_REFRESH_RATE, (float)RefreshAt(RefreshIndex(refreshSlider)));
    if (!g_gameData.ApplyDisplayMode(trial)) {
        g_guiManager.OpenWindow("VIDEO_ERROR");
        InitOptions(nullptr, nullptr);
        return false;
    }
    Settings& s = g_gameData.settings;
    s.Set(SETTING_FULL_SCREEN, trial.Get(SETTING_FULL_SCREEN));
    s.Set(SETTING_WIDTH, trial.Get(SETTING_WIDTH));
    s.Set(SETTING_HEIGHT, trial.Get(SETTING_HEIGHT));
    s.Set(SETTING_VIDEO_OPTION_1, resolutionSlider);
    if (fullScreen) {
        s.Set(SETTING_BITS_PER_PIXEL, trial.Get(SETTING_BITS_PER_PIXEL));
        s.Set(SETTING_REFRESH_RATE, trial.Get(SETTING_REFRESH_RATE));
        s.Set(SETTING_VIDEO_OPTION_2, refreshSlider);
    }
    HideControl(Opt(OPT_APPLY));
    return true;
}

bool InitInGameOptions(void* sender, const char*) {
    const Settings& s = g_gameData.settings;
    SetSliderOf(ControlOf(sender, WND_INGAME_OPTIONS, INGAME_MUSIC), s.Get(SETTING_MUSIC_VOLUME));
    SetSliderOf(ControlOf(sender, WND_INGAME_OPTIONS, INGAME_SOUND), s.Get(SETTING_SOUND_VOLUME));
    SetCheckOf(ControlOf(sender, WND_INGAME_OPTIONS, INGAME_FULL_SCREEN), s.Get(SETTING_FULL_SCREEN) != 0.0f);
    return true;
}

bool ToggleInGameFullscreenWindowed(void*, const char*) {
    GuiControl* check = MenuWindowControl(WND_INGAME_OPTIONS, INGAME_FULL_SCREEN);
    const Settings& s = g_gameData.settings;
    Settings trial;
    trial.CopyFrom(s);
    bool fullScreen = CheckOf(check);
    trial.Set(SETTING_FULL_SCREEN, fullScreen ? 1.0f : 0.0f);
    if (g_gameData.ApplyDisplayMode(trial)) {
        g_gameData.settings.Set(SETTING_FULL_SCREEN, trial.Get(SETTING_FULL_SCREEN));
        return true;
    }
    MessageBoxA(g_renderer.window, "NOT SUPPORTED!", "ERROR!", MB_OK);
    SetCheckOf(check, !fullScreen);
    return false;
}

// ---- High scores and trophies ------------------------------------------------

// High-score window: 1-4 the tabs, 7 the best player's avatar, 8 its frame,
// 9 name, 10 date, 11 money; 13, 14 and 16 the name, date and amount columns.
bool InitHighscore(void*, const char* argument) {
    g_menu.trophyProfile = CurrentPlayer();
    for (int c = kHighScoresBestAvatar + 1; c <= kHighScoresBestMoney; ++c) HideControl(MenuWindowControl(WND_HIGH_SCORES, c));
    GuiControl* avatar = MenuWindowControl(WND_HIGH_SCORES, kHighScoresBestAvatar);
    BindMenuAvatar(avatar, nullptr, -1);
    HideControl(avatar);

    int tab = argument ? std::atoi(argument) : 0;
    if (tab < 0 || tab > 3) tab = 0;
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(MenuWindowControl(WND_HIGH_SCORES, kHighScoresTab1 + tab)))
        r->Select(true);
    static const int kTabModes[4] = {MODE_QUICK_PLAY, MODE_ROAD_TRIP, MODE_PLAY_ALONE, MODE_GROUP_PLAY};
    const HighScoreEntry* table = g_gameData.highScores.GetTable(kTabModes[tab]);
    if (!table) return true;
    if (table[0].score > 0) {
        PlayerProfile* best = g_gameData.FindProfile(table[0].kind, table[0].profileIndex);
        for (int c = kHighScoresBestAvatar + 1; c <= kHighScoresBestMoney; ++c) ShowControl(MenuWindowControl(WND_HIGH_SCORES, c));
        SetTextOf(MenuWindowControl(WND_HIGH_SCORES, kHighScoresBestMoney), "$%s", FormatMoney(table[0].score));
        SetTextOf(MenuWindowControl(WND_HIGH_SCORES, kHighScoresBestName), "%s",
                  table[0].profileIndex != -1 && best && best->GetName() ? best->GetName() : "");
        SetTextOf(MenuWindowControl(WND_HIGH_SCORES, kHighScoresBestDate), "%s", FormatDate(table[0].date));
        if (best) {
            ShowControl(avatar);
            BindMenuAvatar(avatar, best, kAnimIdle3);
        }
    }
    // The columns' texts stay the menu's own: the controls only show them.
    static TextBlock s_columns[3];
    TextBlock* columns[3] = {&s_columns[0], &s_columns[1], &s_columns[2]};
    for (TextBlock* b : columns) b->ClearLines();
    for (int row = 0; row < kHighScoreRows; ++row) {
        const HighScoreEntry& e = table[row];
        if (e.score <= 0) continue;
        PlayerProfile* who = g_gameData.FindProfile(e.kind, e.profileIndex);
        char line[kMaxFormattedText + 1];
        std::snprintf(line, sizeof(line), "%s", who && who->GetName() ? who->GetName() : "");
        columns[0]->AddLine(line);
        columns[1]->AddLine(FormatDate(e.date));
        columns[2]->AddLine(FormatMoney(e.score));
    }
    static const int kColumns[3] = {kHighScoresNames, kHighScoresDates, kHighScoresAmounts};
    for (int i = 0; i < 3; ++i) {
        if (TextControl* t = dynamic_cast<TextControl*>(MenuWindowControl(WND_HIGH_SCORES, kColumns[i])))
            t->SetTextBlock(columns[i]);
    }
    return true;
}

// Trophy cabinet: 2 and up the trophies, 38 and up their pictures, 74 the
// selection marker.
const int kCabinetTrophyFirst = kCabinetTrophy0;
const int kCabinetPictureFirst = kCabinetPlaque0;

bool InitTrophy(void*, const char*) {
    const TrophyTable& table = g_gameData.trophies;
    for (int i = 0; i < table.GetCount() && i < TROPHY_COUNT; ++i) {
        TrophyControl* trophy = dynamic_cast<TrophyControl*>(MenuWindowControl(WND_TROPHIES, kCabinetTrophyFirst + i));
        const TrophyDef* def = table.At(i);
        if (trophy && def && def->modelId) {
            bool open = trophy->IsOpen();
            if (open) trophy->ReleaseVisuals();
            SetString(trophy->modelName, def->modelId);
            if (open) trophy->BuildVisuals();
            trophy->SetMode(1);
        }
        if (PictureControl* picture = dynamic_cast<PictureControl*>(MenuWindowControl(WND_TROPHIES, kCabinetPictureFirst + i)))
            picture->SetMode(0);
    }
    PlayerProfile* p = g_menu.trophyProfile;
    for (unsigned k = 0; p && k < p->GetTrophyCount(); ++k) {
        TrophyRecord* r = p->GetTrophy(k);
        if (!r || r->trophyId < 0 || r->trophyId >= TROPHY_COUNT) continue;
        if (TrophyControl* trophy = dynamic_cast<TrophyControl*>(MenuWindowControl(WND_TROPHIES, kCabinetTrophyFirst + r->trophyId)))
            trophy->SetMode(0);
        GuiControl* picture = MenuWindowControl(WND_TROPHIES, kCabinetPictureFirst + r->trophyId);
        if (PictureControl* pc = dynamic_cast<PictureControl*>(picture)) pc->SetMode(2);
        SetControlEnabled(picture, true);
    }
    HideControl(MenuWindowControl(WND_TROPHIES, kCabinetMarker));
    return true;
}

bool OnPressTrophy(void*, const char*) {
    if (!g_menu.trophyProfile) return true;
    g_guiManager.ChangeWindow("TROPHY_WND");
    return InitTrophy(nullptr, nullptr);
}

// ---- Instructions and credits --------------------------------------------------

struct ScrollingText {
    int window;
    int text;
    int scroll;
};
const ScrollingText kInstructions = {WND_INSTRUCTIONS, 1, 2};
const ScrollingText kCredits = {WND_CREDITS, 5, 6};

void UpdateScrollingText(const ScrollingText& s) {
    TextControl* text = dynamic_cast<TextControl*>(MenuWindowControl(s.window, s.text));
    ScrollControl* scroll = dynamic_cast<ScrollControl*>(MenuWindowControl(s.window, s.scroll));
    if (!text || !scroll) return;
    int lines = text->block ? (int)text->block->LineCount() : 0;
    int shown = text->layout.linesShown;
    if (shown > 0 && lines >= shown)
        text->layout.firstLine = (int)((float)(lines - shown + 1) * scroll->value * 0.999f);
    else
        text->layout.firstLine = 0;
}

void InitScrollingText(const ScrollingText& s) {
    if (TextControl* text = dynamic_cast<TextControl*>(MenuWindowControl(s.window, s.text))) text->layout.firstLine = 0;
    if (ScrollControl* scroll = dynamic_cast<ScrollControl*>(MenuWindowControl(s.window, s.scroll))) scroll->SetValue(0.0f);
}

void PageScrollingText(const ScrollingText& s, const char* direction) {
    ScrollControl* scroll = dynamic_cast<ScrollControl*>(MenuWindowControl(s.window, s.scroll));
    if (!scroll || !direction) return;
    if (std::strcmp(direction, "DOWN") == 0) scroll->SetValue(scroll->value + scroll->jump);
    else if (std::strcmp(direction, "UP") == 0) scroll->SetValue(scroll->value - scroll->jump);
    else return;
    UpdateScrollingText(s);
}

void WheelScrollingText(const ScrollingText& s) {
    ScrollControl* scroll = dynamic_cast<ScrollControl*>(MenuWindowControl(s.window, s.scroll));
    if (!scroll) return;
    scroll->SetValue(scroll->value - (float)g_input.Get(INPUT_WHEEL) * scroll->jump);
    UpdateScrollingText(s);
}

bool InstructionInit(void*, const char*) {
    InitScrollingText(kInstructions);
    return true;
}
bool ChangePage(void*, const char* direction) {
    PageScrollingText(kInstructions, direction);
    return true;
}
bool RotateMouseWheel(void*, const char*) {
    WheelScrollingText(kInstructions);
    return true;
}
bool UpdateInstructionsText(void*, const char*) {
    UpdateScrollingText(kInstructions);
    return true;
}
bool CreditsMoreInit(void*, const char*) {
    InitScrollingText(kCredits);
    return true;
}
bool ChangeCreditsPage(void*, const char* direction) {
    PageScrollingText(kCredits, direction);
    return true;
}
bool CreditsRotateMouseWheel(void*, const char*) {
    WheelScrollingText(kCredits);
    return true;
}
bool UpdateCreditsText(void*, const char*) {
    UpdateScrollingText(kCredits);
    return true;
}

}  // namespace

void RegisterMenuCallbacks(CallbackRegistry& registry) {
    registry.Register("InitMenu", InitMenu);
    registry.Register("InitNewPlayer", InitNewPlayer);
    registry.Register("CreatePlayer", CreatePlayer);
    registry.Register("CancelCreate", CancelCreate);
    registry.Register("ForceActiveEdit", ForceActiveEdit);
    registry.Register("InitHighscore", InitHighscore);
    registry.Register("OnPressTrophy", OnPressTrophy);
    registry.Register("InitTrophy", InitTrophy);
    registry.Register("InitOptions", InitOptions);
    registry.Register("ModifySoundValue", ModifySoundValue);
    registry.Register("ModifyMusicValue", ModifyMusicValue);
    registry.Register("ToggleFullscreenWindowed", ToggleFullscreenWindowed);
    registry.Register("ToggleHighQuality", ToggleHighQuality);
    registry.Register("ToggleVSync", ToggleVSync);
    registry.Register("ModifyResolution", ModifyResolution);
    registry.Register("ModifyRefreshRate", ModifyRefreshRate);
    registry.Register("ApplyVideo", ApplyVideo);
    registry.Register("InitInGameOptions", InitInGameOptions);
    registry.Register("ToggleInGameFullscreenWindowed", ToggleInGameFullscreenWindowed);
    registry.Register("SetWindowAfterEdit", SetWindowAfterEdit);
    registry.Register("InitProfiles", InitProfiles);
    registry.Register("OpenEditProfile", OpenEditProfile);
    registry.Register("OnPressDelete", OnPressDelete);
    registry.Register("DeletePlayer", DeletePlayer);
    registry.Register("PlayerProfileDetails", PlayerProfileDetails);
    registry.Register("PlayerProfileHoverEnd", PlayerProfileHoverEnd);
    registry.Register("InitEditProfile", InitEditProfile);
    registry.Register("ChangeGender", ChangeGender);
    registry.Register("ChangeSkinColor", ChangeSkinColor);
    registry.Register("ChangeHairColor", ChangeHairColor);
    registry.Register("ChangeHairStyle", ChangeHairStyle);
    registry.Register("ChangeClothingStyle", ChangeClothingStyle);
    registry.Register("ToggleGlasses", ToggleGlasses);
    registry.Register("ChangeFaceHair", ChangeFaceHair);
    registry.Register("Randomize", Randomize);
    registry.Register("CancelEditPlayer", CancelEditPlayer);
    registry.Register("FinishEditPlayer", FinishEditPlayer);
    registry.Register("RotateMouseWheel", RotateMouseWheel);
    registry.Register("ChangePage", ChangePage);
    registry.Register("InstructionInit", InstructionInit);
    registry.Register("UpdateInstructionsText", UpdateInstructionsText);
    registry.Register("CreditsRotateMouseWheel", CreditsRotateMouseWheel);
    registry.Register("ChangeCreditsPage", ChangeCreditsPage);
    registry.Register("CreditsMoreInit", CreditsMoreInit);
    registry.Register("UpdateCreditsText", UpdateCreditsText);
    registry.Register("CheckCities", CheckCities);
    registry.Register("GotoRoadTrip", GotoRoadTrip);
    registry.Register("OpenCityInfo", OpenCityInfo);
    registry.Register("CloseCityInfo", CloseCityInfo);
    registry.Register("InitGroupPlay", InitGroupPlay);
    registry.Register("InitGroupPlayDropDownYellow", InitGroupPlayDropDownYellow);
    registry.Register("SelectYellowPlayer", SelectYellowPlayer);
    registry.Register("InitGroupPlayDropDownBlue", InitGroupPlayDropDownBlue);
    registry.Register("SelectBluePlayer", SelectBluePlayer);
    registry.Register("InitMainMenuWnd", InitMainMenuWnd);
    registry.Register("StartGame", StartGame);
    registry.Register("SetCurrentYearMonthToPuzzle", SetCurrentYearMonthToPuzzle);
    registry.Register("InitPuzzleMode", InitPuzzleMode);
    registry.Register("SetMonth", SetMonth);
    registry.Register("ChangeYear", ChangeYear);
    registry.Register("StartPuzzleOfTheDay", StartPuzzleOfTheDay);
    registry.Register("ToggleHumanAI", ToggleHumanAI);
    registry.Register("OpenDebugAI", OpenDebugAI);
    registry.Register("EditAIParam", EditAIParam);
}
