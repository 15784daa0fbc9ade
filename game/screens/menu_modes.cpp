// The menu callbacks of the avatar editor, the game modes (road trip, group
// play, puzzle of the day, the start of a match) and the computer-contestant
// editor.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "board.h"
#include "controls_button.h"
#include "controls_game.h"
#include "controls_text.h"
#include "controls_value.h"
#include "font_manager.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "gui_manager.h"
#include "menu_callbacks.h"
#include "menu_rules.h"
#include "menu_screen.h"
#include "round_controller.h"
#include "sound_system.h"
#include "strings.h"
#include "trophies.h"

namespace {

const int kAnimIdle1 = 1;
const int kAnimIdle3 = 3;

PlayerProfile* CurrentPlayer() { return g_gameData.currentProfile; }

GuiControl* DebugAiControl(int c) { return MenuWindowControl(Pos().windowDebugAi, c); }

int RandBelow(int n) { return n > 0 ? std::rand() % n : 0; }

int StyleCount(int gender, int part) {
    if (gender != GENDER_MALE && gender != GENDER_FEMALE) gender = GENDER_MALE;
    int n = g_gameData.partStyleCounts[gender][part];
    return n > 0 ? n : 0;
}

// ---- Avatar editor -----------------------------------------------------------

GuiControl* Ed(int c) { return MenuWindowControl(Pos().windowEditProfile, c); }

PlayerProfile* Working() { return g_gameData.profiles.GetScratch(g_menu.editedGender); }

void SelectRadio(GuiControl* c) {
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(c)) r->Select(true);
}

// A style slider of a part where the value "count" means none: the none
// sits at the slider's left end.
float StyleSliderValue(int part, int count) {
    int c = count + 1;
    int v = part == c - 1 ? 0 : part + 1;
    return (float)v / (float)c;
}

int StyleFromSlider(float slider, int count) {
    int c = count + 1;
    int k = (int)((float)c * slider * 0.99f);
    return k == 0 ? c - 1 : k - 1;
}

void PlayPartChange() { g_soundSystem.Play("UI_MENU_SLD_UP", 1.0f, 0); }

}  // namespace

void RandomizeAppearance(PlayerProfile* working) {
    if (!working) return;
    AvatarAppearance& look = working->appearance;
    int gender = look.GetGender();
    int hair = StyleCount(gender, PART_HAIR);
    look.SetPart(gender == GENDER_MALE ? 1 + RandBelow(hair) : RandBelow(hair), PART_HAIR);
    look.SetColour(RandBelow(4), PART_HAIR);
    look.SetColour(RandBelow(4), PART_FACE_HAIR);
    look.SetColour(RandBelow(10), PART_TORSO);
    look.SetColour(RandBelow(4), PART_HEAD);
    look.SetColour(RandBelow(4), PART_HANDS);
    look.SetPart(RandBelow(StyleCount(gender, PART_GLASSES) + 1), PART_GLASSES);
    look.SetColour(0, PART_GLASSES);
    if (gender == GENDER_MALE) look.SetPart(1 + RandBelow(StyleCount(gender, PART_FACE_HAIR)), PART_FACE_HAIR);
}

bool InitEditProfile(void*, const char*) {
    PlayerProfile* p = Working();
    if (!p) return true;
    const AvatarAppearance& look = p->appearance;
    int gender = look.GetGender();
    int skin = look.GetColour(PART_HEAD);
    int hairColour = look.GetColour(PART_HAIR);
    if (skin >= 0 && skin < 4) SelectRadio(Ed(Pos().editSkin1 + skin));
    if (hairColour >= 0 && hairColour < 4) SelectRadio(Ed(Pos().editHairColour1 + hairColour));
    int hairCount = StyleCount(gender, PART_HAIR);
    if (gender == GENDER_FEMALE)
        SetSliderOf(Ed(Pos().editHairStyle), hairCount > 0 ? (float)look.GetPart(PART_HAIR) / (float)hairCount : 0.0f);
    else
        SetSliderOf(Ed(Pos().editHairStyle), StyleSliderValue(look.GetPart(PART_HAIR), hairCount));
    SetSliderOf(Ed(Pos().editClothing), (float)look.GetColour(PART_TORSO) * 0.1f);
    SetCheckOf(Ed(Pos().editGlasses), look.GetPart(PART_GLASSES) == 0);
    bool male = gender == GENDER_MALE;
    SelectRadio(Ed(male ? Pos().editMale : Pos().editFemale));
    ShowControlIf(Ed(Pos().editFaceHair), male);
    ShowControlIf(Ed(Pos().editFaceHairLabel), male);
    if (male)
        SetSliderOf(Ed(Pos().editFaceHair),
                    StyleSliderValue(look.GetPart(PART_FACE_HAIR), StyleCount(gender, PART_FACE_HAIR)));
    SetTextOf(Ed(Pos().editName), "%s", look.GetName() ? look.GetName() : "");
    return true;
}

bool OpenEditProfile(void*, const char* which) {
    PlayerProfile* edited = nullptr;
    if (which && std::strcmp(which, "AI") == 0) {
        for (int k = 0; k < 10 && !edited; ++k) {
            GuiControl* entry = MenuWindowControl(Pos().windowPlayerProfilesPopup, Pos().listEntry1 + k);
            if (entry && entry->state == GUI_STATE_SELECTED) edited = ProfileListEntry(k);
        }
    } else {
        edited = CurrentPlayer();
    }
    if (!edited) return true;
    g_menu.edited = edited;
    ProfileManager& profiles = g_gameData.profiles;
    profiles.CreateScratch(edited->GetKind() == KIND_COMPUTER ? LIST_COMPUTERS : LIST_HUMANS);
    int gender = edited->appearance.GetGender() == GENDER_FEMALE ? GENDER_FEMALE : GENDER_MALE;
    PlayerProfile* same = profiles.GetScratch(gender);
    PlayerProfile* other = profiles.GetScratch(1 - gender);
    if (!same || !other) return true;
    edited->appearance.CopyTo(same->appearance);
    same->appearance.SetGender(gender);
    other->appearance.SetGender(1 - gender);
    other->appearance.SetName(edited->GetName());
    RandomizeAppearance(other);
    g_menu.editedGender = gender;
    BindMenuAvatar(Ed(Pos().editAvatar), same, kAnimIdle1);
    // A computer contestant's chances can be set from its look.
    ShowControlIf(Ed(Pos().editComputerSettings), edited->GetKind() == KIND_COMPUTER);
    return g_guiManager.ChangeWindow("EDIT_PROFILE");
}

bool ChangeGender(void*, const char* gender) {
    if (gender && std::strcmp(gender, "MALE") == 0) {
        ShowControl(Ed(Pos().editFaceHair));
        ShowControl(Ed(Pos().editFaceHairLabel));
        g_menu.editedGender = GENDER_MALE;
        BindMenuAvatar(Ed(Pos().editAvatar), Working(), kAnimIdle1);
    } else if (gender && std::strcmp(gender, "FEMALE") == 0) {
        HideControl(Ed(Pos().editFaceHair));
        HideControl(Ed(Pos().editFaceHairLabel));
        g_menu.editedGender = GENDER_FEMALE;
        BindMenuAvatar(Ed(Pos().editAvatar), Working(), kAnimIdle1);
    }
    return InitEditProfile(nullptr, nullptr);
}

bool ChangeSkinColor(void*, const char* colour) {
    PlayerProfile* p = Working();
    if (!p || !colour) return true;
    int c = std::atoi(colour);
    p->appearance.SetColour(c, PART_HEAD);
    p->appearance.SetColour(c, PART_HANDS);
    return true;
}

bool ChangeHairColor(void*, const char* colour) {
    PlayerProfile* p = Working();
    if (!p || !colour) return true;
    int c = std::atoi(colour);
    p->appearance.SetColour(c, PART_HAIR);
    if (p->appearance.GetGender() == GENDER_MALE) p->appearance.SetColour(c, PART_FACE_HAIR);
    return true;
}

bool ChangeHairStyle(void*, const char*) {
    PlayerProfile* p = Working();
    if (!p) return true;
    AvatarAppearance& look = p->appearance;
    int count = StyleCount(look.GetGender(), PART_HAIR);
    float slider = SliderOf(Ed(Pos().editHairStyle));
    int style;
    if (look.GetGender() == GENDER_FEMALE)
        style = (int)((float)count * slider * 0.99f);
    else
        style = StyleFromSlider(slider, count);
    if (style != look.GetPart(PART_HAIR)) {
        look.SetPart(style, PART_HAIR);
        PlayPartChange();
    }
    return true;
}

bool ChangeFaceHair(void*, const char*) {
    PlayerProfile* p = Working();
    if (!p) return true;
    AvatarAppearance& look = p->appearance;
    int style = StyleFromSlider(SliderOf(Ed(Pos().editFaceHair)), StyleCount(look.GetGender(), PART_FACE_HAIR));
    if (style != look.GetPart(PART_FACE_HAIR)) {
        look.SetPart(style, PART_FACE_HAIR);
        PlayPartChange();
    }
    return true;
}

bool ChangeClothingStyle(void*, const char*) {
    PlayerProfile* p = Working();
    if (!p) return true;
    int colour = (int)(10.0f * SliderOf(Ed(Pos().editClothing)) * 0.99f);
    if (colour != p->appearance.GetColour(PART_TORSO)) {
        p->appearance.SetColour(colour, PART_TORSO);
        PlayPartChange();
    }
    return true;
}

bool ToggleGlasses(void*, const char*) {
    PlayerProfile* p = Working();
    if (!p) return true;
    AvatarAppearance& look = p->appearance;
    if (CheckOf(Ed(Pos().editGlasses))) {
        look.SetPart(0, PART_GLASSES);
        look.SetColour(0, PART_GLASSES);
    } else {
        look.SetPart(StyleCount(look.GetGender(), PART_GLASSES), PART_GLASSES);
    }
    return true;
}

bool Randomize(void*, const char*) {
    RandomizeAppearance(Working());
    return InitEditProfile(nullptr, nullptr);
}

bool CancelEditPlayer(void*, const char*) {
    g_gameData.profiles.ReleaseEditedProfiles(2);
    // Back where the editor was opened from, as after OK.
    return g_guiManager.ChangeWindow(g_menu.returnWindow);
}

bool FinishEditPlayer(void*, const char*) {
    PlayerProfile* shown = Working();
    if (shown && g_menu.edited) {
        int character = g_menu.edited->appearance.GetCharacter();
        shown->appearance.CopyTo(g_menu.edited->appearance);
        g_menu.edited->appearance.SetCharacter(character);
        BindMenuAvatar(Ed(Pos().editAvatar), g_menu.edited, kAnimIdle1);
    }
    g_gameData.profiles.ReleaseEditedProfiles(2);
    return g_guiManager.ChangeWindow(g_menu.returnWindow);
}

// ---- Road trip -----------------------------------------------------------------

namespace {

GuiControl* CityInfoText(int c) { return MenuGroupControl(Pos().groupCityInfoTexts, c); }

}  // namespace

PlayerProfile* EditorWorkingProfile() { return Working(); }
GuiControl* EditorAvatarControl() { return Ed(Pos().editAvatar); }
void RefillAvatarEditor() { InitEditProfile(nullptr, nullptr); }

bool CheckCities(void*, const char*) {
    PlayerProfile* p = CurrentPlayer();
    int entry = RadioGroupSelected(MenuWindowControl(Pos().windowChooseModeWnd, Pos().chooseModeTour3));
    if (entry < 0 || entry > 2) {
        g_guiManager.OpenWindow("CITIES_ERROR");
        return false;
    }
    if (!p) return false;
    if (!DrawTour(*p, g_gameData.config, 2 * entry + 3, g_gameData.profiles.GetCount(LIST_COMPUTERS))) return false;
    g_gameData.Save();
    return true;
}

bool GotoRoadTrip(void*, const char*) {
    PlayerProfile* p = CurrentPlayer();
    GuiControl* route = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripRoute);
    GuiGroup* tour = p ? g_guiManager.FindGroup(p->tourName) : nullptr;
    if (route) {
        route->childGroup = tour;
        if (tour) tour->SetFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
    }
    for (int c = 0; c < kCityCount; ++c) {
        GuiControl* marker = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripPin0 + c);
        GuiControl* picture = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripCity0 + c);
        if (marker) marker->SetFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        if (picture) picture->SetFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
    }
    int length = p ? p->GetTourLength() : 0;
    for (int k = 0; k < length; ++k) {
        int city = p->GetTourCity(k);
        if (city < 0 || city >= kCityCount) continue;
        GuiControl* marker = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripPin0 + city);
        GuiControl* picture = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripCity0 + city);
        if (marker) marker->ClearFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        if (picture) picture->ClearFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        if (tour && k < p->currentLeg && k < tour->controlCount)
            tour->controls[k]->ClearFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        if (PictureControl* pc = dynamic_cast<PictureControl*>(picture)) pc->SetMode(k == p->currentLeg ? 2 : 0);
    }
    HideControl(MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripInfoPanel));
    return true;
}

bool OpenCityInfo(void*, const char* argument) {
    PlayerProfile* p = CurrentPlayer();
    int n = argument ? std::atoi(argument) : 0;
    if (!p || n < 1 || n > kCityCount) return true;
    GuiControl* panel = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripInfoPanel);
    GuiControl* picture = MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripCity0 + n - 1);
    if (panel && picture) {
        const Vector3& shift = g_gameData.config.cityInfoPos[n - 1];
        panel->SetPosition(picture->position.x + shift.x, picture->position.y + shift.y, picture->position.z + shift.z);
    }
    ShowControl(panel);
    TextBlock* names = g_fontManager.GetText("CITY_NAME");
    const char* name = names ? names->Line((unsigned)(n - 1)) : nullptr;
    SetTextOf(CityInfoText(Pos().cityInfoName), "%s", name ? name : "");
    const int* record = p->cityStats[n - 1];
    SetTextOf(CityInfoText(Pos().cityInfoPlayed), "%i", record[0]);
    SetTextOf(CityInfoText(Pos().cityInfoWinnings), "$%s", FormatMoney(record[1]));
    SetTextOf(CityInfoText(Pos().cityInfoRounds), "%i", record[2]);
    SetTextOf(CityInfoText(Pos().cityInfoWins), "%i", record[3]);
    int seconds = record[4] > 0 ? record[4] : 0;
    SetTextOf(CityInfoText(Pos().cityInfoTime), "%02i:%02i:%02i", seconds / 3600, seconds / 60 % 60,
              seconds % 60);
    g_guiManager.OpenWindow("CITY_INFO");
    return true;
}

bool CloseCityInfo(void*, const char*) {
    HideControl(MenuWindowControl(Pos().windowRoadTripWnd, Pos().tripInfoPanel));
    return true;
}

// ---- Group play ----------------------------------------------------------------

namespace {

enum { DROP_ENTRY_COUNT = 9 };

GuiControl* Gp(int c) { return MenuWindowControl(Pos().windowGroupPlayWnd, c); }
GuiControl* DropdownControl(void* sender, int c) { return ControlOf(sender, Pos().windowGroupPlayDropdown, c); }

PlayerProfile* Opponent(PlayerProfile* p, int slot) {
    OpponentSlot* o = p ? p->GetOpponent(slot) : nullptr;
    return o ? o->profile : nullptr;
}

void ShowOpponent(int slot, PlayerProfile* who) {
    int avatar = slot == 1 ? Pos().groupPlayYellowAvatar : Pos().groupPlayBlueAvatar;
    int chosen = slot == 1 ? Pos().groupPlayYellowChosen : Pos().groupPlayBlueChosen;
    int empty = slot == 1 ? Pos().groupPlayYellowEmpty : Pos().groupPlayBlueEmpty;
    BindMenuAvatar(Gp(avatar), who, kAnimIdle3);
    ShowControlIf(Gp(avatar), who != nullptr);
    SetTextOf(Gp(Pos().groupPlayRedName + slot), "%s", who && who->GetName() ? who->GetName() : "");
    ShowControlIf(Gp(chosen), who != nullptr);
    ShowControlIf(Gp(empty), who == nullptr);
}

// The humans the drop-down of a colour offers, in list order.
int DropDownProfiles(int slot, PlayerProfile** out, int capacity) {
    PlayerProfile* me = CurrentPlayer();
    PlayerProfile* other = Opponent(me, slot == 1 ? 2 : 1);
    int n = 0;
    int count = g_gameData.profiles.GetCount(LIST_HUMANS);
    for (int i = 0; i < count && n < capacity; ++i) {
        PlayerProfile* p = g_gameData.profiles.Get(i, LIST_HUMANS);
        if (p && p != me && p != other) out[n++] = p;
    }
    return n;
}

bool InitDropDown(void* sender, int slot) {
    PlayerProfile* offered[DROP_ENTRY_COUNT];
    int n = DropDownProfiles(slot, offered, DROP_ENTRY_COUNT);
    // One list of names per colour, kept here: the control only shows it.
    static TextBlock s_lines[2];
    TextBlock* lines = &s_lines[slot == 1 ? 0 : 1];
    lines->ClearLines();
    for (int i = 0; i < n; ++i) lines->AddLine(offered[i]->GetName());
    if (TextControl* list = dynamic_cast<TextControl*>(DropdownControl(sender, Pos().dropList)))
        list->SetTextBlock(lines);
    for (int k = 0; k < DROP_ENTRY_COUNT; ++k) ShowControlIf(DropdownControl(sender, Pos().dropEntry1 + k), k < n);
    int page = n <= 3 ? 0 : n <= 6 ? 1 : 2;
    for (int f = 0; f < 3; ++f) ShowControlIf(DropdownControl(sender, Pos().dropFrame1 + f), f == page);
    return true;
}

bool SelectOpponent(int slot, const char* argument) {
    PlayerProfile* me = CurrentPlayer();
    if (!me || !argument) return true;
    PlayerProfile* other = Opponent(me, slot == 1 ? 2 : 1);
    PlayerProfile* chosen = nullptr;
    static const char* const kLevels[] = {"EASY", "MEDIUM", "HARD", nullptr};
    int level = IndexOfString(argument, kLevels);
    if (level > 0) {
        chosen = DrawComputerOfLevel(level - 1, other);
    } else {
        PlayerProfile* offered[DROP_ENTRY_COUNT];
        int n = DropDownProfiles(slot, offered, DROP_ENTRY_COUNT);
        int line = std::atoi(argument);
        if (line >= 1 && line <= n) chosen = offered[line - 1];
    }
    if (!chosen) return true;
    me->SetOpponent(slot, chosen, g_gameData.profiles.IndexOf(chosen));
    ShowOpponent(slot, chosen);
    return true;
}

}  // namespace

PlayerProfile* DrawComputerOfLevel(int level, const PlayerProfile* other) {
    ProfileManager& profiles = g_gameData.profiles;
    int count = profiles.GetCount(LIST_COMPUTERS);
    if (count <= 0) return nullptr;
    // Random draws first, as many as there are contestants several times
    // over; then every one in turn from a random start, so a level that
    // nobody has ends the search instead of looping.
    for (int tries = 0; tries < 8 * count; ++tries) {
        PlayerProfile* p = profiles.Get(std::rand() % count, LIST_COMPUTERS);
        if (p && p != other && p->GetAi() && p->GetAi()->GetLevel() == level) return p;
    }
    int start = std::rand() % count;
    for (int i = 0; i < count; ++i) {
        PlayerProfile* p = profiles.Get((start + i) % count, LIST_COMPUTERS);
        if (p && p != other && p->GetAi() && p->GetAi()->GetLevel() == level) return p;
    }
    return nullptr;
}

bool InitGroupPlay(void*, const char*) {
    PlayerProfile* me = CurrentPlayer();
    BindMenuAvatar(Gp(Pos().groupPlayRedAvatar), me, kAnimIdle3);
    SetTextOf(Gp(Pos().groupPlayRedName), "%s", me && me->GetName() ? me->GetName() : "");
    ShowOpponent(1, Opponent(me, 1));
    ShowOpponent(2, Opponent(me, 2));
    // Room for another player: the players' list counts, whichever list
    // the profile window showed last.
    ShowControlIf(Gp(Pos().groupPlayNewPlayer), g_gameData.profiles.GetCount(LIST_HUMANS) < 10);
    return true;
}

bool InitGroupPlayDropDownYellow(void* sender, const char*) { return InitDropDown(sender, 1); }
bool InitGroupPlayDropDownBlue(void* sender, const char*) { return InitDropDown(sender, 2); }
bool SelectYellowPlayer(void*, const char* argument) { return SelectOpponent(1, argument); }
bool SelectBluePlayer(void*, const char* argument) { return SelectOpponent(2, argument); }

// ---- The start of a match ------------------------------------------------------

bool StartGame(void*, const char* mode) {
    if (g_soundSystem.IsPlaying(g_currentMusic)) g_currentMusic->Stop();
    g_currentMusic = nullptr;
    GuiScreen* screen = g_guiManager.ScreenAt(Pos().screenRound);
    auto cityPiece = [screen](int first, int city) -> GuiControl* {
        int i = first + city;
        return screen && i >= 0 && i < screen->controlCount ? screen->controls[i] : nullptr;
    };
    for (int c = 0; c < kCityCount; ++c)
        for (int first : {Pos().matchCityBackdrop0, Pos().matchCitySign0})
            if (GuiControl* piece = cityPiece(first, c)) piece->SetFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
    if (!mode) return true;
    if (std::strcmp(mode, "QUICK_PLAY") == 0) {
        g_round.gameMode = MODE_QUICK_PLAY;
    } else if (std::strcmp(mode, "PLAY_ALONE") == 0) {
        g_round.gameMode = MODE_PLAY_ALONE;
    } else if (std::strcmp(mode, "GROUP_PLAY") == 0) {
        g_round.gameMode = MODE_GROUP_PLAY;
    } else if (std::strcmp(mode, "ROAD_TRIP") == 0) {
        g_round.gameMode = MODE_ROAD_TRIP;
        PlayerProfile* p = CurrentPlayer();
        int city = p ? p->GetTourCity(p->currentLeg) : -1;
        if (city >= 0 && city < kCityCount) {
            g_round.city = city;
            for (int first : {Pos().matchCityBackdrop0, Pos().matchCitySign0})
                if (GuiControl* piece = cityPiece(first, city)) piece->ClearFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        }
    } else if (std::strcmp(mode, "PUZZLE_DAY") == 0) {
        g_round.gameMode = MODE_PUZZLE_OF_THE_DAY;
    }
    return true;
}

// ---- Puzzle of the day ---------------------------------------------------------

namespace {

GuiControl* CalendarControl(int c) { return MenuWindowControl(Pos().windowPuzzleOfTheDay, c); }

}  // namespace

bool SetCurrentYearMonthToPuzzle(void*, const char*) {
    GameDate today;
    GetToday(today);
    g_menu.calendarYear = today.year;
    g_menu.calendarMonth = today.month - 1;
    return true;
}

void ShowMonth() {
    for (int m = 0; m < 12; ++m) HideControl(MenuGroupControl(Pos().groupMonthMarkers, m));
    for (int cell = 0; cell < kMonthCells; ++cell) {
        GuiControl* picture = CalendarControl(Pos().potdDay0 + cell);
        if (PictureControl* pc = dynamic_cast<PictureControl*>(picture)) pc->SetMode(2);
        SetControlEnabled(picture, false);
        HideControl(MenuGroupControl(Pos().groupDayNumbers, cell));
        HideControl(MenuGroupControl(Pos().groupDayTexts, cell));
        HideControl(MenuGroupControl(Pos().groupDayAmounts, cell));
    }
    int year = g_menu.calendarYear;
    int month = g_menu.calendarMonth;
    if (year < kFirstCalendarYear || month < 0 || month > 11) return;
    int first = FirstCellOfMonth(year, month);
    if (RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(CalendarControl(Pos().potdMonth1 + month)))
        r->Select(true);
    ShowControl(MenuGroupControl(Pos().groupMonthMarkers, month));
    SetTextOf(CalendarControl(Pos().potdYear), "%i", year);

    PlayerProfile* p = CurrentPlayer();
    GameDate today;
    GetToday(today);
    int todayKey = DateKey(today.year, today.month - 1, today.day - 1);
    int days = DaysInMonth(year, month);
    for (int d = 0; d < days; ++d) {
        int cell = first + d;
        if (cell >= kMonthCells) break;
        GuiControl* number = MenuGroupControl(Pos().groupDayNumbers, cell);
        SetTextOf(number, "%d", d + 1);
        ShowControl(number);
        int record = p ? CalendarRecordOf(*p, year, month, d) : -1;
        if (record < 0) continue;
        const CalendarDay& day = p->calendar[record];
        if (day.text2 && day.text2[0]) {
            // Set as a block, so that a long category wraps inside its day.
            static TextBlock s_dayTexts[kMonthCells];
            TextBlock& b = s_dayTexts[cell];
            b.ClearLines();
            b.AddLine(day.text2);
            TextControl* text = dynamic_cast<TextControl*>(MenuGroupControl(Pos().groupDayTexts, cell));
            if (text) text->SetTextBlock(&b);
            ShowControl(text);
        }
        if (DateKey(year, month, d) > todayKey) continue;
        GuiControl* picture = CalendarControl(Pos().potdDay0 + cell);
        PictureControl* pc = dynamic_cast<PictureControl*>(picture);
        if (IsCalendarDayPlayed(*p, record)) {
            GuiControl* amount = MenuGroupControl(Pos().groupDayAmounts, cell);
            SetTextOf(amount, "$%s", FormatMoney(day.result));
            ShowControl(amount);
            if (pc) pc->SetMode(0);
            SetControlEnabled(picture, false);
        } else {
            if (pc) pc->SetMode(1);
            SetControlEnabled(picture, true);
        }
    }
    ShowControlIf(CalendarControl(Pos().potdPreviousYear),
                  !p || year > p->calendarDate.year);
}

bool InitPuzzleMode(void*, const char*) {
    ShowMonth();
    return true;
}

bool SetMonth(void*, const char* month) {
    int m = month ? std::atoi(month) : 0;
    if (m >= 0 && m <= 11) g_menu.calendarMonth = m;
    ShowMonth();
    return true;
}

bool ChangeYear(void*, const char* years) {
    g_menu.calendarYear += years ? std::atoi(years) : 0;
    ShowMonth();
    return true;
}

bool StartPuzzleOfTheDay(void*, const char* cell) {
    PlayerProfile* p = CurrentPlayer();
    if (!p || !cell) return true;
    int year = g_menu.calendarYear;
    int month = g_menu.calendarMonth;
    int day = std::atoi(cell) - FirstCellOfMonth(year, month);
    int record = CalendarRecordOf(*p, year, month, day);
    // Only a day of the calendar that has come and has not paid yet plays.
    GameDate today;
    GetToday(today);
    if (record < 0 || IsCalendarDayPlayed(*p, record) ||
        DateKey(year, month, day) > DateKey(today.year, today.month - 1, today.day - 1))
        return false;
    g_round.potdYear = year - p->calendarDate.year;
    g_round.potdDay = DayOfYear(year, month, day) + 1;
    StartGame(nullptr, "PUZZLE_DAY");
    return g_guiManager.OpenScreen("ROUND_WND");
}

// ---- Computer-contestant editor ---------------------------------------------

bool OpenDebugAI(void*, const char*) {
    PlayerProfile* p = g_menu.edited;
    BindMenuAvatar(DebugAiControl(Pos().debugAiAvatar), p, kAnimIdle1);
    const AiParams* ai = p ? p->GetAi() : nullptr;
    for (int i = 0; i < 6; ++i)
        SetTextOf(DebugAiControl(Pos().debugAiChance1 + i), "%.0f", ai ? ai->GetChance(i) : 0.0f);
    SetTextOf(DebugAiControl(Pos().debugAiLevel), "%i", ai ? ai->GetLevel() : 0);
    return true;
}

bool EditAIParam(void*, const char*) {
    AiParams* ai = g_menu.edited ? g_menu.edited->GetAi() : nullptr;
    if (ai) {
        for (int i = 0; i < 6; ++i) {
            EditControl* e = dynamic_cast<EditControl*>(DebugAiControl(Pos().debugAiChance1 + i));
            if (e) ai->SetChance(i, (float)std::atof(e->text));
        }
        EditControl* level = dynamic_cast<EditControl*>(DebugAiControl(Pos().debugAiLevel));
        if (level) {
            int v = std::atoi(level->text);
            ai->SetLevel(v < AI_EASY ? AI_EASY : v > AI_HARD ? AI_HARD : v);
        }
    }
    return g_guiManager.ChangeWindow("EDIT_PROFILE");
}
