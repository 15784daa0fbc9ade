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

// Controls of the windows the menus fill most, by the running edition's table.
GuiControl* ProfileListControl(int c) { return MenuWindowControl(Pos().windowPlayerProfilesPopup, c); }
GuiControl* HighScoreControl(int c) { return MenuWindowControl(Pos().windowHighScores, c); }
GuiControl* CabinetControl(int c) { return MenuWindowControl(Pos().windowTrophyWnd, c); }

}  // namespace

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


// The window that holds a control (the sender may be the window itself).
GuiGroup* HolderOf(void* sender) {
    for (int i = 0; sender && i < GuiManager::kMaxWindows; ++i) {
        GuiWindow* w = g_guiManager.WindowAt(i);
        if (!w) break;
        if (w == sender) return w;
    }
    GuiControl* c = static_cast<GuiControl*>(sender);
    if (c && c->owner) return c->owner;
    return g_guiManager.WindowAt(Pos().windowEnterName);
}

bool InitNewPlayer(void* sender, const char*) {
    GuiGroup* window = HolderOf(sender);
    GuiControl* female = window ? window->FindControl("GENDER_FEMALE") : nullptr;
    GuiControl* field = window ? window->FindControl("EDIT_NAME") : nullptr;
    if (!field) field = MenuWindowControl(Pos().windowEnterName, Pos().enterNameField);
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(female)) r->Select(true);
    SetTextOf(field, "");
    g_guiManager.SetActiveControl(field);
    // The very first player cannot be cancelled: every mode needs one.
    ShowControlIf(ControlOf(sender, Pos().windowEnterName, Pos().enterNameCancel), CurrentPlayer() != nullptr);
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
    BindMenuAvatar(ControlOf(sender, Pos().windowMainMenu, Pos().mainMenuAvatar), p, kAnimIdle1);
    SetTextOf(ControlOf(sender, Pos().windowMainMenu, Pos().mainMenuPlayerName), "%s",
              p && p->GetName() ? p->GetName() : "");
    return true;
}

// ---- Profiles ------------------------------------------------------------------

// Profile list: ten entries (radio buttons), New Player, Delete, five detail
// texts and five trophy icons; two groups hold the entries' avatars and names.
const int kListEntries = 10;
const int kListTrophyCount = 5;

int SelectedEntry() {
    for (int k = 0; k < kListEntries; ++k) {
        GuiControl* c = ProfileListControl(Pos().listEntry1 + k);
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
        BindMenuAvatar(MenuGroupControl(Pos().groupProfileAvatars, k), nullptr, -1);
        g_menu.listEntries[k] = nullptr;
    }
    int count = profiles.GetCount(list);
    for (int k = 0; k < kListEntries; ++k) {
        PlayerProfile* p = k < count ? profiles.Get(k, list) : nullptr;
        g_menu.listEntries[k] = p;
        RadioButtonControl* entry = dynamic_cast<RadioButtonControl*>(ProfileListControl(Pos().listEntry1 + k));
        GuiControl* avatar = MenuGroupControl(Pos().groupProfileAvatars, k);
        if (!p) {
            if (entry) {
                entry->Select(false);
                entry->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
                HideControl(entry);
            }
            HideControl(avatar);
            SetTextOf(MenuGroupControl(Pos().groupProfileNames, k), "");
            continue;
        }
        ShowControl(entry);
        ShowControl(avatar);
        BindMenuAvatar(avatar, p, kAnimIdle3);
        if (entry) {
            if (p == CurrentPlayer()) entry->Select(true);
            else entry->Select(false);
        }
        SetTextOf(MenuGroupControl(Pos().groupProfileNames, k), "%s", p->GetName() ? p->GetName() : "");
    }
    // A list without the current player (the computers) starts on its first.
    if (SelectedEntry() < 0 && count > 0)
        if (RadioButtonControl* first = dynamic_cast<RadioButtonControl*>(ProfileListControl(Pos().listEntry1)))
            first->Select(true);
}

void ShowProfileDetails(int entry) {
    PlayerProfile* p = ProfileListEntry(entry);
    if (!p) return;
    char money[32];
    CopyString(money, sizeof(money), FormatMoney(p->GetStat(STAT_MONEY_WON)));
    SetTextOf(ProfileListControl(Pos().listWinnings), "$%s", money);
    SetTextOf(ProfileListControl(Pos().listWinnings + 1), "%i", p->GetStat(STAT_MATCHES_WON));
    SetTextOf(ProfileListControl(Pos().listWinnings + 2), "%i", p->GetStat(STAT_JACKPOTS_WON));
    SetTextOf(ProfileListControl(Pos().listWinnings + 3), "%i", p->GetStat(STAT_BONUS_WINS));
    SetTextOf(ProfileListControl(Pos().listWinnings + 4), "%i", p->GetStat(STAT_MINUTES_PLAYED) / 60);
    // As many trophy icons as the window has places for; the rest hidden.
    unsigned won = p->GetTrophyCount();
    for (int i = 0; i < kListTrophyCount; ++i) {
        GuiControl* icon = ProfileListControl(Pos().listTrophyIcon1 + i);
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
    ShowControlIf(ProfileListControl(Pos().listNewPlayer), showingHumans && humans < kListEntries);
    ShowControlIf(ProfileListControl(Pos().listDelete), showingHumans && humans > 1);
}

bool InitProfiles(void*, const char*) {
    for (int k = 0; k < kListEntries; ++k) {
        RadioButtonControl* entry = dynamic_cast<RadioButtonControl*>(ProfileListControl(Pos().listEntry1 + k));
        if (entry) {
            entry->Select(false);
            entry->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
        }
        SetTextOf(MenuGroupControl(Pos().groupProfileNames, k), "");
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

// In-game options.

GuiControl* Opt(int c) { return MenuWindowControl(Pos().windowOptions, c); }

void RefreshApplyButton() {
    const Settings& s = g_gameData.settings;
    bool fullScreen = CheckOf(Opt(Pos().optionsFullScreen));
    int width, height;
    ResolutionAt(ResolutionIndex(SliderOf(Opt(Pos().optionsResolution))), &width, &height);
    bool same = fullScreen == (s.Get(SETTING_FULL_SCREEN) != 0.0f) && (float)width == s.Get(SETTING_WIDTH) &&
                (float)height == s.Get(SETTING_HEIGHT);
    if (same && fullScreen) {
        int rate = RefreshAt(RefreshIndex(SliderOf(Opt(Pos().optionsRefresh))));
        same = (float)rate == s.Get(SETTING_REFRESH_RATE) &&
               CheckOf(Opt(Pos().optionsHighQuality)) == (s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    }
    ShowControlIf(Opt(Pos().optionsApply), !same);
}

bool InitOptions(void*, const char*) {
    const Settings& s = g_gameData.settings;
    HideControl(Opt(Pos().optionsApply));
    SetSliderOf(Opt(Pos().optionsSound), s.Get(SETTING_SOUND_VOLUME));
    SetSliderOf(Opt(Pos().optionsMusic), s.Get(SETTING_MUSIC_VOLUME));
    bool fullScreen = s.Get(SETTING_FULL_SCREEN) != 0.0f;
    SetCheckOf(Opt(Pos().optionsFullScreen), fullScreen);
    SetCheckOf(Opt(Pos().optionsHighQuality), s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    SetSliderOf(Opt(Pos().optionsResolution), s.Get(SETTING_VIDEO_OPTION_1));
    SetSliderOf(Opt(Pos().optionsRefresh), s.Get(SETTING_VIDEO_OPTION_2));
    SetTextOf(Opt(Pos().optionsResolutionText), "{%0.fx%0.f}", s.Get(SETTING_WIDTH), s.Get(SETTING_HEIGHT));
    SetTextOf(Opt(Pos().optionsRefreshText), "{%0.f Hz}", s.Get(SETTING_REFRESH_RATE));
    ShowFullScreenOnlyOptions(fullScreen);
    // Where the driver cannot change it, vertical sync is not offered.
    bool vsync = g_renderer.CanSetVerticalSync();
    ShowControlIf(Opt(Pos().optionsVSync), vsync);
    ShowControlIf(Opt(Pos().optionsVSyncLabel), vsync);
    SetCheckOf(Opt(Pos().optionsVSync), s.Get(SETTING_VERTICAL_SYNC) != 0.0f);
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
    ShowFullScreenOnlyOptions(CheckOf(Opt(Pos().optionsFullScreen)));
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
    ResolutionAt(ResolutionIndex(SliderOf(Opt(Pos().optionsResolution))), &width, &height);
    SetTextOf(Opt(Pos().optionsResolutionText), "{%ix%i}", width, height);
    RefreshApplyButton();
    return true;
}

bool ModifyRefreshRate(void*, const char*) {
    SetTextOf(Opt(Pos().optionsRefreshText), "{%i Hz}", RefreshAt(RefreshIndex(SliderOf(Opt(Pos().optionsRefresh)))));
    RefreshApplyButton();
    return true;
}

bool ApplyVideo(void*, const char*) {
    Settings trial;
    bool fullScreen = CheckOf(Opt(Pos().optionsFullScreen));
    float resolutionSlider = SliderOf(Opt(Pos().optionsResolution));
    float refreshSlider = SliderOf(Opt(Pos().optionsRefresh));
    int width, height;
    ResolutionAt(ResolutionIndex(resolutionSlider), &width, &height);
    trial.Set(SETTING_FULL_SCREEN, fullScreen ? 1.0f : 0.0f);
    trial.Set(SETTING_WIDTH, (float)width);
    trial.Set(SETTING_HEIGHT, (float)height);
    trial.Set(SETTING_BITS_PER_PIXEL, CheckOf(Opt(Pos().optionsHighQuality)) ? 32.0f : 16.0f);
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
    HideControl(Opt(Pos().optionsApply));
    return true;
}

bool InitInGameOptions(void* sender, const char*) {
    const Settings& s = g_gameData.settings;
    SetSliderOf(ControlOf(sender, Pos().windowIngameOptions, Pos().ingameMusic), s.Get(SETTING_MUSIC_VOLUME));
    SetSliderOf(ControlOf(sender, Pos().windowIngameOptions, Pos().ingameSound), s.Get(SETTING_SOUND_VOLUME));
    SetCheckOf(ControlOf(sender, Pos().windowIngameOptions, Pos().ingameFullScreen),
               s.Get(SETTING_FULL_SCREEN) != 0.0f);
    return true;
}

bool ToggleInGameFullscreenWindowed(void*, const char*) {
    GuiControl* check = MenuWindowControl(Pos().windowIngameOptions, Pos().ingameFullScreen);
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

// The controls after the best player's avatar, up to its money.
void ShowBestPlayerDetails(bool shown) {
    const GuiPositions& at = Pos();
    if (at.highScoresBestAvatar < 0) return;
    for (int c = at.highScoresBestAvatar + 1; c <= at.highScoresBestMoney; ++c)
        ShowControlIf(MenuWindowControl(at.windowHighScores, c), shown);
}

// High-score window: the four tabs, the best player's avatar followed by its
// frame, name, date and money, and the name, date and amount columns.
bool InitHighscore(void*, const char* argument) {
    g_menu.trophyProfile = CurrentPlayer();
    ShowBestPlayerDetails(false);
    GuiControl* avatar = HighScoreControl(Pos().highScoresBestAvatar);
    BindMenuAvatar(avatar, nullptr, -1);
    HideControl(avatar);

    int tab = argument ? std::atoi(argument) : 0;
    if (tab < 0 || tab > 3) tab = 0;
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(HighScoreControl(Pos().highScoresTab1 + tab)))
        r->Select(true);
    static const int kTabModes[4] = {MODE_QUICK_PLAY, MODE_ROAD_TRIP, MODE_PLAY_ALONE, MODE_GROUP_PLAY};
    const HighScoreEntry* table = g_gameData.highScores.GetTable(kTabModes[tab]);
    if (!table) return true;
    if (table[0].score > 0) {
        PlayerProfile* best = g_gameData.FindProfile(table[0].kind, table[0].profileIndex);
        ShowBestPlayerDetails(true);
        SetTextOf(HighScoreControl(Pos().highScoresBestMoney), "$%s", FormatMoney(table[0].score));
        SetTextOf(HighScoreControl(Pos().highScoresBestName), "%s",
                  table[0].profileIndex != -1 && best && best->GetName() ? best->GetName() : "");
        SetTextOf(HighScoreControl(Pos().highScoresBestDate), "%s", FormatDate(table[0].date));
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
    const int columnControls[3] = {Pos().highScoresNames, Pos().highScoresDates, Pos().highScoresAmounts};
    for (int i = 0; i < 3; ++i) {
        if (TextControl* t = dynamic_cast<TextControl*>(HighScoreControl(columnControls[i])))
            t->SetTextBlock(columns[i]);
    }
    return true;
}

// Trophy cabinet: 2 and up the trophies, 38 and up their pictures, 74 the
// selection marker.

bool InitTrophy(void*, const char*) {
    const TrophyTable& table = g_gameData.trophies;
    for (int i = 0; i < table.GetCount() && i < TROPHY_COUNT; ++i) {
        TrophyControl* trophy = dynamic_cast<TrophyControl*>(CabinetControl(Pos().cabinetTrophy0 + i));
        const TrophyDef* def = table.At(i);
        if (trophy && def && def->modelId) {
            bool open = trophy->IsOpen();
            if (open) trophy->ReleaseVisuals();
            SetString(trophy->modelName, def->modelId);
            if (open) trophy->BuildVisuals();
            trophy->SetMode(1);
        }
        if (PictureControl* picture = dynamic_cast<PictureControl*>(CabinetControl(Pos().cabinetPlaque0 + i)))
            picture->SetMode(0);
    }
    PlayerProfile* p = g_menu.trophyProfile;
    for (unsigned k = 0; p && k < p->GetTrophyCount(); ++k) {
        TrophyRecord* r = p->GetTrophy(k);
        if (!r || r->trophyId < 0 || r->trophyId >= TROPHY_COUNT) continue;
        if (TrophyControl* trophy = dynamic_cast<TrophyControl*>(CabinetControl(Pos().cabinetTrophy0 + r->trophyId)))
            trophy->SetMode(0);
        GuiControl* picture = CabinetControl(Pos().cabinetPlaque0 + r->trophyId);
        if (PictureControl* pc = dynamic_cast<PictureControl*>(picture)) pc->SetMode(2);
        SetControlEnabled(picture, true);
    }
    HideControl(CabinetControl(Pos().cabinetMarker));
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
ScrollingText Instructions() { return {Pos().windowInstructions, Pos().instructionsText, Pos().instructionsScroll}; }
ScrollingText Credits() { return {Pos().windowCredits, Pos().creditsText, Pos().creditsScroll}; }

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
    InitScrollingText(Instructions());
    return true;
}
bool ChangePage(void*, const char* direction) {
    PageScrollingText(Instructions(), direction);
    return true;
}
bool RotateMouseWheel(void*, const char*) {
    WheelScrollingText(Instructions());
    return true;
}
bool UpdateInstructionsText(void*, const char*) {
    UpdateScrollingText(Instructions());
    return true;
}
bool CreditsMoreInit(void*, const char*) {
    InitScrollingText(Credits());
    return true;
}
bool ChangeCreditsPage(void*, const char* direction) {
    PageScrollingText(Credits(), direction);
    return true;
}
bool CreditsRotateMouseWheel(void*, const char*) {
    WheelScrollingText(Credits());
    return true;
}
bool UpdateCreditsText(void*, const char*) {
    UpdateScrollingText(Credits());
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

void ShowFullScreenOnlyOptions(bool fullScreen) {
    ShowControlIf(Opt(Pos().optionsRefresh), fullScreen);
    ShowControlIf(Opt(Pos().optionsRefreshText), fullScreen);
    ShowControlIf(Opt(Pos().optionsRefreshLabel), fullScreen);
    ShowControlIf(Opt(Pos().optionsHighQuality), fullScreen);
    ShowControlIf(Opt(Pos().optionsHighQualityLabel), fullScreen);
}
