// What the menu callbacks share: the positions of the menu windows' controls
// (as content/gui/bindings.xml fixes them), null-safe access to them, and
// the menu's own state.
#pragma once
#include "board.h"
#include "gui_control.h"

class PlayerProfile;
class RadioButtonControl;
class TextControl;

// Windows and groups of the menus, by position in the document.
enum MenuWindow {
    WND_INGAME_OPTIONS = 26,
    WND_ENTER_NAME = 27,
    WND_MAIN_MENU = 28,
    WND_OPTIONS = 29,
    WND_HIGH_SCORES = 30,
    WND_TROPHIES = 31,
    WND_PROFILES = 32,
    WND_EDIT_PROFILE = 35,
    WND_GROUP_PLAY = 36,
    WND_GROUP_DROPDOWN = 37,
    WND_CHOOSE_TURNS = 39,
    WND_CHOOSE_MODE = 40,
    WND_PUZZLE_OF_THE_DAY = 44,
    WND_ROAD_TRIP = 45,
    WND_INSTRUCTIONS = 46,
    WND_CREDITS = 48,
    WND_DEBUG_AI = 49
};

enum MenuGroup {
    GRP_PROFILE_AVATARS = 11,
    GRP_PROFILE_NAMES = 12,
    GRP_DAY_NUMBERS = 13,
    GRP_DAY_TEXTS = 14,
    GRP_DAY_AMOUNTS = 15,
    GRP_MONTH_MARKERS = 16,
    GRP_CITY_INFO_TEXTS = 52
};

// Control c of window w or group g; null when the document lacks it.
GuiControl* MenuWindowControl(int window, int control);
GuiControl* MenuGroupControl(int group, int control);
// Control c of a container given directly (a window sender), else of window w.
GuiControl* ControlOf(void* container, int window, int control);

// ShowControl and HideControl come with board.h.
void ShowControlIf(GuiControl* c, bool shown);
bool IsControlShown(const GuiControl* c);
void SetControlEnabled(GuiControl* c, bool enabled);
void SetTextOf(GuiControl* c, const char* format, ...);
void SetSliderOf(GuiControl* c, float value);
float SliderOf(GuiControl* c);
void SetCheckOf(GuiControl* c, bool on);
bool CheckOf(GuiControl* c);

// A radio group is its first button and the members of its class: entry 0
// is that button, entry k its k-th member. -1 when none is selected.
int RadioGroupSelected(GuiControl* first);
void RadioGroupSelect(GuiControl* first, int entry);

// The avatar placeholders: bound to a profile and playing an animation of
// the avatar list (they show nothing more until the characters arrive).
void BindMenuAvatar(GuiControl* avatar, PlayerProfile* profile, int animation);

// ---- State shared by the menu files ------------------------------------------

struct MenuState {
    char returnWindow[64] = "MAIN_MENU";
    int deleteIndex = -1;                 // the entry chosen for deletion
    int calendarYear = 0;                 // the puzzle-of-the-day view
    int calendarMonth = 0;                // 0..11
    PlayerProfile* edited = nullptr;      // the profile of the avatar editor
    int editedGender = 0;                 // which working profile it shows
    PlayerProfile* trophyProfile = nullptr;  // whose trophies the cabinet shows
    PlayerProfile* listEntries[10] = {};  // the profile list, entry by entry
};
extern MenuState g_menu;

// The menus' own operations that several callbacks run.
void FillProfileList(int list);
void ShowProfileDetails(int entry);
void ShowMonth();
void RandomizeAppearance(PlayerProfile* working);
