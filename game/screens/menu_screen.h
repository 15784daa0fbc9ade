// What the menu callbacks share: the positions of the menu windows' controls
// (from the running edition's table, Pos()), null-safe access to them, and
// the menu's own state.
#pragma once
#include "board.h"
#include "control_binding.h"
#include "gui_control.h"

class PlayerProfile;
class RadioButtonControl;
class TextControl;

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

// The avatar editor: the working profile it shows (of the gender it shows),
// its avatar control, and its controls filled again from that profile.
PlayerProfile* EditorWorkingProfile();
GuiControl* EditorAvatarControl();
void RefillAvatarEditor();

// The options window's controls only full screen offers (the refresh rate's
// slider, text and label; the colour depth's check and label), shown or not.
void ShowFullScreenOnlyOptions(bool fullScreen);

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
