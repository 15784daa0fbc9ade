// Containers of controls: groups, screens and windows. The manager owns
// them and their controls; a container only lists its controls in document
// order and runs the open, close, drop, update and mouse passes over them.
#pragma once
#include "math3d.h"

class GuiControl;
class GuiHandlerList;
class GuiWindow;

class GuiGroup {
public:
    static constexpr int kMaxControls = 2048;

    GuiGroup();

    // 1. Stores the offset and hands it to every control (and on to their
    // child groups, shifted by the control's position).
    virtual void SetOffset(float x, float y, float z);
    // 2. Opens every control that is neither open nor excluded.
    virtual bool Open(unsigned flags);
    // 3. Drops every open control that is not excluded.
    virtual void Drop();
    // 4. Starts closing every control that is not excluded.
    virtual void Close();
    // 5. Every control excluded, hidden, not drawn or closed (state 3).
    virtual bool IsClosed();
    // 6. The hovered control (if any) gets MouseLeave; hovered := null.
    virtual void DropHover();
    // 7. Mouse routing; active is the manager's active-control slot.
    virtual void DispatchMouse(GuiControl*& active);
    // 8. Updates every control that is neither hovered nor active.
    virtual void Update(GuiControl*& active);
    // 9, 10. Mode GUI_FLAGS_STYLE changes style words, any other the state
    // words; unless the mode is GUI_FLAGS_STATE_ONLY child groups get the
    // bits in their style words.
    virtual void ClearFlags(unsigned bits, int mode);
    virtual void SetFlags(unsigned bits, int mode);
    // 11. Frees the name; the manager deletes the controls.
    virtual ~GuiGroup();

    // The control with exactly that name, or null.
    GuiControl* FindControl(const char* controlName) const;
    // Appends a control (owner and index set); false when the table is full.
    bool AddControl(GuiControl* control);

    char* name;
    GuiControl* controls[kMaxControls];
    int controlCount;
    Vector3 offset;
    GuiControl* hovered;

private:
    GuiGroup(const GuiGroup&) = delete;
    GuiGroup& operator=(const GuiGroup&) = delete;
};

class GuiScreen : public GuiGroup {
public:
    GuiScreen();
    ~GuiScreen() override;

    GuiHandlerList* onOpen;   // always present after loading, maybe empty
    GuiHandlerList* onClose;
    GuiWindow* windowAbove;   // the first window pushed over this one
    char* startWindow;        // "start_window", may be null
};

class GuiWindow : public GuiScreen {
public:
    GuiWindow();

    GuiScreen* windowBelow;  // the container under it in the stack
    bool checkScreen;        // the screen keeps the mouse while this is on top
};
