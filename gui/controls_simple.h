// The control kinds without pointer interaction of their own: "static",
// "group", "multielems", "key", "timer" and "fps".
#pragma once
#include "gui_control.h"

class GuiHandlerList;

// "static": a model that plays its open, idle and close clips.
class StaticControl : public GuiControl {
public:
    StaticControl();
    ~StaticControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    float animSpeed;  // "anim_speed"; 0 is the model's own frame time
    GuiHandlerList* onOpenEnd;
    GuiHandlerList* onCloseEnd;

protected:
    void ApplyState(int newState) override;
};

// "group": no visuals; its child group is opened, placed and routed with it.
class GroupControl : public GuiControl {};

// "multielems": a body and "elements" numbered element visuals.
class MultiElemsControl : public GuiControl {
public:
    // More elements than this are not made (a document asking for more
    // gets this many).
    static constexpr int kMaxElements = 256;

    MultiElemsControl();
    ~MultiElemsControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    int elementCount;           // "elements"
    ModelInstance** elements;   // elementCount entries, each null until built
    GuiHandlerList* onOpenEnd;

protected:
    void ApplyState(int newState) override;
};

// "key": fires its lists from an input code while its container is on top.
class KeyControl : public GuiControl {
public:
    KeyControl();
    ~KeyControl() override;
    void Load(TiXmlElement* element) override;
    void Update() override;

    int code;  // "value": an input code, 0 .. INPUT_CODE_COUNT - 1
    GuiHandlerList* onPress;
    GuiHandlerList* onRelease;
    GuiHandlerList* onActive;
};

// "timer": counts down from its start time, shown in its last seconds. A
// timer whose container closes or is dropped stops without its "OnEnd":
// nothing it was timing happens on a screen that has gone, nor when the
// screen opens again.
class TimerControl : public GuiControl {
public:
    TimerControl();
    ~TimerControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    float timeLeft;
    float startTime;   // "value", seconds
    float showBelow;   // "show", seconds
    bool autoStart;    // "auto"; only "false" turns it off
    Font* font;        // "font"
    GuiHandlerList* onEnd;

protected:
    void ApplyState(int newState) override;
};

// "fps": the frame rate and frame times, drawn only for a developer
// (DeveloperMode).
class FpsControl : public GuiControl {
public:
    FpsControl();
    void Load(TiXmlElement* element) override;
    void Update() override;
    void Draw() override;

    Font* font;          // "font"
    float smoothed;      // frames per second
    float response;      // "response"
    float shortest;      // seconds
    float longest;       // seconds
};

