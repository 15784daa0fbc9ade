// The round controller's seam to the game screen.
#pragma once

class GuiControl;
class PlayerProfile;
class SoundInstance;

// What the controller asks of the game screen beyond the control states:
// the kinds of control that have operations of their own, sound, windows
// and saving. The defaults (screen_ops.cpp) act on the real controls, the
// sound system, the GUI manager and the game data; tests override whatever
// they watch.
class GameScreenOps {
public:
    virtual ~GameScreenOps() {}

    virtual void PostStatusMessage(GuiControl* statusBar, const char* text);
    // The status bar has not yet said all it was given (its last line
    // still has its time); false for anything that is not a status bar.
    virtual bool StatusBarSpeaking(GuiControl* statusBar);
    virtual void StartWheel(GuiControl* wheel, float power);
    // Stops a turning wheel where it stands, without its end.
    virtual void StopWheel(GuiControl* wheel);
    // Turns the pointer display to the angle (degrees about z).
    virtual void TurnPointer(GuiControl* pointer, float degrees);
    virtual void SetPictureMode(GuiControl* picture, int mode);
    // A reaction queued on an avatar: played once after the delay.
    virtual void QueueAvatarAnimation(GuiControl* avatar, const char* animation, float delay, bool force);
    // Played on the avatar's character at once.
    virtual void PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop);
    virtual void BindAvatar(GuiControl* avatar, PlayerProfile* profile);
    // Stops or restarts an animated display (a negative play speed stands).
    virtual void FreezeAnimation(GuiControl* control, bool frozen);
    virtual void WatchSound(GuiControl* trigger, SoundInstance* instance);

    virtual SoundInstance* PlayCue(const char* cue, int setting, bool loop);
    virtual void StopAllSounds();
    virtual void PauseAllSounds();
    virtual void ResumeAllSounds();
    virtual void PauseClock();
    virtual void ResumeClock();
    virtual bool OpenWindow(const char* window);
    // Closes the window when it is the one on top; false (nothing done)
    // when another window or the screen is.
    virtual bool CloseWindowOnTop(const char* window);
    virtual bool SaveGame();
};

// The operations the game uses when nothing else was set: they act on the
// real controls, the sound system, the GUI manager and the game data.
GameScreenOps& DefaultScreenOps();
