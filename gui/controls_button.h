// The pointer-driven kinds with hover animations: "button" (fires on release
// over it), "check" (toggles on press) and "radiobut" (one of a class is
// selected on press).
#pragma once
#include "gui_control.h"
#include "indexed_list.h"

class GuiHandlerList;

class ButtonControl : public GuiControl {
public:
    ButtonControl();
    ~ButtonControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void SetState(int newState) override;
    void Update() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    // false: "inactive" and no mouse; true: idle and the mouse again.
    void SetEnabled(bool enabled);

    ModelInstance* extra;      // part "extra"
    ModelInstance* highlight;  // part "highlight"
    Vector3 highlightScale;    // "highlight", default 1,1,1
    GuiHandlerList* onPress;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;
};

class CheckControl : public GuiControl {
public:
    CheckControl();
    ~CheckControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void SetState(int newState) override;
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
};

class RadioButtonControl : public GuiControl {
public:
    RadioButtonControl();
    ~RadioButtonControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void SetState(int newState) override;
    void Update() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    // true: selected (no mouse) and every other member not inactive is
    // deselected; false: idle and the mouse again.
    void Select(bool selected);
    // 0 when this one is selected, else the 1-based place of the first
    // selected member, -1 when none is.
    int GetSelected();

    ModelInstance* highlight;  // part "highlight"
    Vector3 highlightScale;    // "highlight", default 1,1,1
    // The other radio buttons of the class, in container order.
    IndexedList<RadioButtonControl*> members;
    GuiHandlerList* onSelect;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;
};
