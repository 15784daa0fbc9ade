// The round controller's screen operations on the real controls: the status
// bar's queue, the wheels, the podium pictures, the outro's sound trigger,
// sounds, windows and saving. The avatars wait for the characters: their
// operations do nothing yet.
#include <cfloat>
#include <cstring>

#include "gui_manager.h"  // before the status bar, which keeps its PostMessage
#include "control_statusbar.h"
#include "control_animation.h"
#include "control_wheel.h"
#include "controls_game.h"
#include "frame_timer.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "model_instance.h"
#include "round_controller.h"
#include "sound_system.h"

void GameScreenOps::PostStatusMessage(GuiControl* statusBar, const char* text) {
    if (StatusBarControl* bar = dynamic_cast<StatusBarControl*>(statusBar)) bar->PostMessage(text);
}

bool GameScreenOps::StatusBarSpeaking(GuiControl* statusBar) {
    StatusBarControl* bar = dynamic_cast<StatusBarControl*>(statusBar);
    return bar && bar->Speaking();
}

void GameScreenOps::StartWheel(GuiControl* control, float power) {
    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(control);
    if (!wheel) return;
    wheel->StartSpin(power);
    // A wheel that cannot turn (no distance, or no speed and nothing to
    // raise it) would never reach its end and the round would wait for it
    // for ever: its spin ends where it stands.
    bool stuck = !wheel->IsSpinning() ||
                 (wheel->velocity <= 0.0f && wheel->acceleration <= 0.0f && wheel->jerk <= 0.0f);
    if (stuck) {
        wheel->remaining = 0.0f;
        if (!wheel->endFired) {
            wheel->endFired = 1;
            InvokeHandlers(wheel->onEnd, wheel);
        }
    }
}

void GameScreenOps::StopWheel(GuiControl* control) {
    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(control);
    if (!wheel) return;
    wheel->remaining = 0.0f;
    wheel->endFired = 1;
}

void GameScreenOps::TurnPointer(GuiControl* pointer, float degrees) {
    if (!pointer) return;
    pointer->rotation = Rotation{degrees, {0.0f, 0.0f, 1.0f}};
    if (pointer->body) pointer->body->rotation = pointer->rotation;
}

void GameScreenOps::SetPictureMode(GuiControl* picture, int mode) {
    if (PictureControl* p = dynamic_cast<PictureControl*>(picture)) p->SetMode(mode);
}

void GameScreenOps::QueueAvatarAnimation(GuiControl* avatar, const char* animation, float delay, bool force) {
    QueueAvatarReaction(avatar, animation, delay, force);
}
void GameScreenOps::PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop) {
    PlayAvatarNow(avatar, animation, loop);
}
void GameScreenOps::BindAvatar(GuiControl* avatar, PlayerProfile* profile) { BindAvatarContestant(avatar, profile); }

// A frozen clip waits for a frame time it never reaches.
void GameScreenOps::FreezeAnimation(GuiControl* control, bool frozen) {
    ModelInstance* body = control ? control->body : nullptr;
    if (!body) return;
    if (frozen)
        body->accumulator = -FLT_MAX;
    else if (body->accumulator < 0.0f)
        body->accumulator = 0.0f;
}

void GameScreenOps::WatchSound(GuiControl* trigger, SoundInstance* instance) {
    if (SoundTriggerControl* t = dynamic_cast<SoundTriggerControl*>(trigger)) t->Watch(instance);
}

SoundInstance* GameScreenOps::PlayCue(const char* cue, int setting, bool loop) {
    return g_soundSystem.Play(cue, g_gameData.settings.Get(setting), loop ? 1 : 0);
}
void GameScreenOps::StopAllSounds() { g_soundSystem.StopAll(); }
void GameScreenOps::PauseAllSounds() { g_soundSystem.PauseAll(); }
void GameScreenOps::ResumeAllSounds() { g_soundSystem.ResumeAll(); }
void GameScreenOps::PauseClock() {
    if (g_currentTimer) g_currentTimer->Pause();
}
void GameScreenOps::ResumeClock() {
    if (g_currentTimer) g_currentTimer->Resume();
}
bool GameScreenOps::OpenWindow(const char* window) { return g_guiManager.OpenWindow(window); }
bool GameScreenOps::CloseWindowOnTop(const char* window) {
    const GuiScreen* top = g_guiManager.GetCurrentWindow();
    if (!window || !top || top == g_guiManager.GetCurrentScreen() || !top->name || std::strcmp(top->name, window) != 0)
        return false;
    return g_guiManager.CloseWindow();
}
bool GameScreenOps::SaveGame() { return g_gameData.Save(); }

GameScreenOps& DefaultScreenOps() {
    static GameScreenOps ops;
    return ops;
}
