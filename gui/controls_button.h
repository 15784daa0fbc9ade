// The pointer-driven kinds with hover animations: "button" (fires on release
// over it), "check" (toggles on press) and "radiobut" (one of a class is
// selected on press).
#pragma once
#include "gui_control.h"
#include "indexed_list.h"

class GuiHandlerList;

// What "button" and "radiobut" share: a "highlight" part that plays the
// hover clips with the body, and the hover handler lists.
class HoverControl : public GuiControl {
public:
    HoverControl();
    ~HoverControl() override;
    // The body and the highlight.
    void Place() override;
    // Opening and closing as any animated kind; a finished hover end goes
    // back to idle.
    void Update() override;
    // Closing or closed: only the highlight is cleared. Otherwise the hover
    // ends (unless inactive) and "OnHoverEnd" runs.
    void MouseLeave() override;
    void MouseEnter() override;

    ModelInstance* highlight;  // part "highlight"
    Vector3 highlightScale;    // "highlight", default 1,1,1
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;

protected:
    // "OnHoverStart" and "OnHoverEnd" (after the kind's own lists).
    void LoadHoverHandlers(TiXmlElement* element);
    // The highlight visual, scaled by highlightScale; the caller places it.
    void CreateHighlight();
    // The clips of the states both kinds have: in the hover states the body
    // and the highlight play them; in idle, opening, closing and inactive
    // the body and follower (null for none) play them and the highlight is
    // cleared. Any other state plays nothing.
    void PlayStateClips(int newState, ModelInstance* follower);
    // The hover steps of MouseOver: idle or a hover end starts a hover, a
    // finished hover start turns into the hover. true when hovering (a
    // press counts, also in the frame the hover starts); false in any other
    // state.
    bool StepHover();
};

class ButtonControl : public HoverControl {
public:
    ButtonControl();
    ~ButtonControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void Draw() override;

    // false: "inactive" and no mouse; true: idle and the mouse again.
    void SetEnabled(bool enabled);

    ModelInstance* extra;  // part "extra"
    GuiHandlerList* onPress;

protected:
    void ApplyState(int newState) override;
};

class CheckControl : public GuiControl {
public:
    CheckControl();
    ~CheckControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    void SetChecked(bool on);

    bool checked;
    ModelInstance* mark;  // part "mark"
    GuiHandlerList* onCheck;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;

protected:
    void ApplyState(int newState) override;
};

class RadioButtonControl : public HoverControl {
public:
    RadioButtonControl();
    ~RadioButtonControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void Draw() override;

    // true: selected (no mouse) and every other member not inactive is
    // deselected; false: idle and the mouse again.
    void Select(bool selected);
    // 0 when this one is selected, else the 1-based place of the first
    // selected member, -1 when none is.
    int GetSelected();

    // The other radio buttons of the class, in container order.
    IndexedList<RadioButtonControl*> members;
    GuiHandlerList* onSelect;

protected:
    void ApplyState(int newState) override;
};
