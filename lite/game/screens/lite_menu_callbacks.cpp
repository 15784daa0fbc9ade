// The Lite's menu callbacks where they differ from the game's: its options
// have no resolution and no vertical-sync device reset, its avatar editor
// turns the shown profile's gender without showing or hiding anything, and
// "FinishPlayer" ends player creation where it was begun.
#include "lite_menu_callbacks.h"

#include <cstring>

#include "game_data.h"
#include "gui_manager.h"
#include "menu_rules.h"
#include "menu_screen.h"
#include "profiles.h"
#include "round_controller.h"

namespace {

GuiControl* Opt(int c) { return MenuWindowControl(Pos().windowOptions, c); }

}  // namespace

void RefreshOptionControls() {
    const Settings& s = g_gameData.settings;
    ShowControl(Opt(Pos().optionsApply));
    const bool fullScreen = CheckOf(Opt(Pos().optionsFullScreen));
    bool same = fullScreen == (s.Get(SETTING_FULL_SCREEN) != 0.0f);
    if (same && fullScreen) {
        // RefreshIndex keeps the slider's index within the four rates.
        const int rate = RefreshAt(RefreshIndex(SliderOf(Opt(Pos().optionsRefresh))));
        same = (float)rate == s.Get(SETTING_REFRESH_RATE) &&
               CheckOf(Opt(Pos().optionsHighQuality)) == (s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    }
    if (same) HideControl(Opt(Pos().optionsApply));
}

bool LiteInitOptions(void*, const char*) {
    const Settings& s = g_gameData.settings;
    SetSliderOf(Opt(Pos().optionsSound), s.Get(SETTING_SOUND_VOLUME));
    SetSliderOf(Opt(Pos().optionsMusic), s.Get(SETTING_MUSIC_VOLUME));
    const bool fullScreen = s.Get(SETTING_FULL_SCREEN) != 0.0f;
    SetCheckOf(Opt(Pos().optionsFullScreen), fullScreen);
    SetCheckOf(Opt(Pos().optionsHighQuality), s.Get(SETTING_BITS_PER_PIXEL) == 32.0f);
    SetSliderOf(Opt(Pos().optionsRefresh), s.Get(SETTING_VIDEO_OPTION_2));
    SetTextOf(Opt(Pos().optionsRefreshText), "{%0.f Hz}", s.Get(SETTING_REFRESH_RATE));
    ShowFullScreenOnlyOptions(fullScreen);
    // Nothing to apply yet; the 2D screen has no vertical sync to offer.
    HideControl(Opt(Pos().optionsApply));
    HideControl(Opt(Pos().optionsVSync));
    HideControl(Opt(Pos().optionsVSyncLabel));
    return true;
}

bool LiteToggleFullscreenWindowed(void*, const char*) {
    ShowFullScreenOnlyOptions(CheckOf(Opt(Pos().optionsFullScreen)));
    RefreshOptionControls();
    return true;
}

bool LiteToggleHighQuality(void*, const char*) {
    RefreshOptionControls();
    return true;
}

bool LiteModifyRefreshRate(void*, const char*) {
    SetTextOf(Opt(Pos().optionsRefreshText), "{%i Hz}", RefreshAt(RefreshIndex(SliderOf(Opt(Pos().optionsRefresh)))));
    RefreshOptionControls();
    return true;
}

bool LiteApplyVideo(void*, const char*) {
    // The window keeps its size: the Lite offers no resolution.
    const Settings& s = g_gameData.settings;
    Settings trial;
    trial.CopyFrom(s);
    const bool fullScreen = CheckOf(Opt(Pos().optionsFullScreen));
    const float refreshSlider = SliderOf(Opt(Pos().optionsRefresh));
    trial.Set(SETTING_FULL_SCREEN, fullScreen ? 1.0f : 0.0f);
    trial.Set(SETTING_BITS_PER_PIXEL, CheckOf(Opt(Pos().optionsHighQuality)) ? 32.0f : 16.0f);
    trial.Set(SETTING_REFRESH_RATE, (float)RefreshAt(RefreshIndex(refreshSlider)));
    if (!g_gameData.ApplyDisplayMode(trial)) {
        g_guiManager.OpenWindow("VIDEO_ERROR");
        LiteInitOptions(nullptr, nullptr);
        return false;
    }
    Settings& kept = g_gameData.settings;
    kept.Set(SETTING_FULL_SCREEN, trial.Get(SETTING_FULL_SCREEN));
    if (fullScreen) {
        kept.Set(SETTING_BITS_PER_PIXEL, trial.Get(SETTING_BITS_PER_PIXEL));
        kept.Set(SETTING_REFRESH_RATE, trial.Get(SETTING_REFRESH_RATE));
        kept.Set(SETTING_VIDEO_OPTION_2, refreshSlider);
    }
    HideControl(Opt(Pos().optionsApply));
    return true;
}

bool LiteToggleVSync(void*, const char*) {
    Settings& s = g_gameData.settings;
    s.Set(SETTING_VERTICAL_SYNC, s.Get(SETTING_VERTICAL_SYNC) == 0.0f ? 1.0f : 0.0f);
    return true;
}

bool LiteChangeGender(void*, const char* gender) {
    // The editor keeps a working profile of each gender: the other one is
    // shown, and its avatar takes the sprites of that gender. A button that
    // names the gender already shown changes nothing.
    if (!EditorWorkingProfile()) return true;
    const int shownGender = g_menu.editedGender == GENDER_FEMALE ? GENDER_FEMALE : GENDER_MALE;
    if (gender && std::strcmp(gender, shownGender == GENDER_MALE ? "MALE" : "FEMALE") == 0) return true;
    g_menu.editedGender = 1 - shownGender;
    PlayerProfile* shown = EditorWorkingProfile();
    if (!shown) return true;
    shown->appearance.SetGender(g_menu.editedGender);
    BindMenuAvatar(EditorAvatarControl(), shown, 1);
    RefillAvatarEditor();
    return true;
}

bool LiteRandomize(void*, const char*) {
    RefillAvatarEditor();
    return true;
}

bool LiteFinishPlayer(void*, const char*) {
    g_gameData.profiles.ReleaseEditedProfiles(2);
    const char* back = g_menu.returnWindow[0] ? g_menu.returnWindow : "MAIN_MENU";
    if (!g_guiManager.FindWindow(back)) back = "MAIN_MENU";
    return g_guiManager.ChangeWindow(back);
}
