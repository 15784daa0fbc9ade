// Starting a match from the menus: the game mode and the match screen's
// city backdrop. (The menu table takes these over with the rest of the
// menus.)
#include "menu_entry.h"

#include <cstring>

#include "board.h"
#include "control_binding.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"
#include "sound_system.h"

// The ten road-trip cities each have a backdrop and a sign on the match
// screen; only the city being played is drawn.
static void SetCityPair(int city, bool included) {
    GuiControl* pair[2] = {g_bound.ScreenControl(kScreenRound, kMatchCityBackdrop0 + city),
                           g_bound.ScreenControl(kScreenRound, kMatchCitySign0 + city)};
    for (GuiControl* c : pair) {
        if (!c) continue;
        if (included)
            c->ClearFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
        else
            c->SetFlags(GUI_FLAG_EXCLUDED, GUI_FLAGS_STATE);
    }
}

bool StartGame(void*, const char* mode) {
    if (g_soundSystem.IsPlaying(g_currentMusic)) g_currentMusic->Stop();
    g_currentMusic = nullptr;
    for (int city = 0; city < kCityCount; ++city) SetCityPair(city, false);
    if (!mode) return true;
    RoundController& rc = g_round;
    if (std::strcmp(mode, "QUICK_PLAY") == 0) {
        rc.gameMode = MODE_QUICK_PLAY;
    } else if (std::strcmp(mode, "PLAY_ALONE") == 0) {
        rc.gameMode = MODE_PLAY_ALONE;
    } else if (std::strcmp(mode, "GROUP_PLAY") == 0) {
        rc.gameMode = MODE_GROUP_PLAY;
    } else if (std::strcmp(mode, "ROAD_TRIP") == 0) {
        rc.gameMode = MODE_ROAD_TRIP;
        PlayerProfile* p = g_gameData.currentProfile;
        int city = p ? p->GetTourCity(p->currentLeg) : -1;
        if (city >= 0 && city < kCityCount) {
            rc.city = city;
            SetCityPair(city, true);
        }
    } else if (std::strcmp(mode, "PUZZLE_DAY") == 0) {
        rc.gameMode = MODE_PUZZLE_OF_THE_DAY;
    }
    return true;
}

// The road map is the menus' own; until they draw it, the window opens as
// its document lays it out.
bool GotoRoadTrip(void*, const char*) { return true; }
