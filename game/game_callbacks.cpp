#include "game_callbacks.h"

#include "controls_simple.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_manager.h"
#include "sound_system.h"

SoundInstance* g_currentMusic = nullptr;

namespace {

bool ChangeScreen(void*, const char* name) { return g_guiManager.OpenScreen(name); }
bool ChangeWindow(void*, const char* name) { return g_guiManager.ChangeWindow(name); }
bool OpenWindow(void*, const char* name) { return g_guiManager.OpenWindow(name); }
bool CloseWindow(void*, const char*) { return g_guiManager.CloseWindow(); }

// "container.control": restarts that timer from its full period.
bool StartTimer(void*, const char* path) {
    TimerControl* timer = dynamic_cast<TimerControl*>(g_guiManager.FindControl(path));
    if (!timer) return true;
    timer->timeLeft = timer->startTime;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    return true;
}

bool SetActiveControl(void*, const char* path) {
    g_guiManager.SetActiveControl(g_guiManager.FindControl(path));
    return true;
}

bool PlaySound(void*, const char* cue) {
    g_soundSystem.Play(cue, g_gameData.settings.Get(SETTING_SOUND_VOLUME), 0);
    return true;
}

bool PlayMusic(void*, const char* cue) {
    PlayMusicLoop(cue);
    return true;
}

bool StopSounds(void*, const char*) {
    g_soundSystem.StopAll();
    g_currentMusic = nullptr;
    return true;
}

bool ExitGame(void*, const char*) {
    g_gameData.quitRequest = 1;
    return true;
}

}  // namespace

void PlayMusicLoop(const char* cue) {
    if (g_soundSystem.IsPlaying(g_currentMusic)) g_currentMusic->Stop();
    g_currentMusic = g_soundSystem.Play(cue, g_gameData.settings.Get(SETTING_MUSIC_VOLUME), 1);
}

void RegisterGameScreenCallbacks(CallbackRegistry& registry) {
    registry.Register("CloseWindow", CloseWindow);
    registry.Register("OpenWindow", OpenWindow);
    registry.Register("ChangeScreen", ChangeScreen);
    registry.Register("ChangeWindow", ChangeWindow);
    registry.Register("StartTimer", StartTimer);
    registry.Register("SetActiveControl", SetActiveControl);
    registry.Register("PlaySound", PlaySound);
    registry.Register("PlayMusic", PlayMusic);
    registry.Register("StopSounds", StopSounds);
    registry.Register("ExitGame", ExitGame);
}
