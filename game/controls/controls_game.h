// The game's small control kinds: "picture", "clone", "trophy", "fade",
// "bkwheel", "gui_letter", "power_meter" and "sound_trigger". Each is a
// GuiControl with its own attributes; CreateGameKindControl makes them by
// element name for the game's control factory.
#pragma once
#include "controls_simple.h"
#include "gui_control.h"

class GuiHandlerList;
class SoundInstance;

// One of the kinds below for that element name, else null.
GuiControl* CreateGameKindControl(const char* elementName);

// A model picture with hover and press.
class PictureControl : public GuiControl {
public:
    PictureControl();
    ~PictureControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;
    void SetMode(int newMode);

    GuiHandlerList* onPress;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;
    char* fontName;  // "font", kept as written
    unsigned char horizontal;
    unsigned char vertical;
    float spacing;
    int mode;  // 0 idle, 1 active, 2 inactive
    // The rate its clips play at; 0 is the renderer's default.
    float clipSpeed = 0.0f;

protected:
    void ApplyState(int newState) override;
};

// A second drawing of another control (and its child group).
class CloneControl : public GuiControl {
public:
    CloneControl();
    void Load(TiXmlElement* element) override;
    void Draw() override;

    GuiControl* source;  // not owned
    unsigned char backFaces;
    unsigned char drawing;  // set while this clone draws (guards cycles)

protected:
    // The source and the shown controls of its child group, in the current
    // frame of the matrix stack.
    void DrawSource();
};

class TrophyControl : public GuiControl {
public:
    TrophyControl();
    ~TrophyControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;
    void SetMode(int newMode);

    GuiHandlerList* onSelect;
    GuiHandlerList* onIdle;
    Vector3 dist;
    int mode;  // 0 won/idle, 1 not won/inactive

protected:
    void ApplyState(int newState) override;
};

enum FadeTrigger { FADE_ON_OPEN = 1, FADE_ON_CLOSE = 2 };

class FadeControl : public GuiControl {
public:
    FadeControl();
    ~FadeControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void Draw() override;

    float progress;
    float startAlpha;
    float endAlpha;
    float time;
    int trigger;
    GuiHandlerList* onEnd;

protected:
    void ApplyState(int newState) override;
};

class BkWheelControl : public GuiControl {
public:
    BkWheelControl();
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    float rotSpeed;  // degrees per second

protected:
    void ApplyState(int newState) override;
};

enum GuiLetterState { LETTER_HOVER = 4, LETTER_CHOSEN = 5, LETTER_INACTIVE = 6 };

class GuiLetterControl : public GuiControl {
public:
    GuiLetterControl();
    ~GuiLetterControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    GuiHandlerList* onPress;
    unsigned char letter;  // upper case; 0 when "letter" was missing

protected:
    void ApplyState(int newState) override;
};

// The spin power gauge: a "static" that cues a sound as its needle crosses
// the middle of its animation.
class PowerMeterControl : public StaticControl {
public:
    void Update() override;
};

class SoundTriggerControl : public GuiControl {
public:
    SoundTriggerControl();
    ~SoundTriggerControl() override;
    void Load(TiXmlElement* element) override;
    void Update() override;
    void Watch(SoundInstance* instance) { watched = instance; }

    SoundInstance* watched;  // not owned
    GuiHandlerList* onEnd;
};
