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
    // 8. Updates every control that is neither hovered nor active; while
    // the container closes, only the controls still playing their closing
    // (state 2): nothing closed or left behind runs a timer, turns a wheel
    // or plays a turn into a screen that is going away.
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
    // From Close (or a window of the stack being left with its screen)
    // until the next Open or Drop: this container and the child groups of
    // its controls are closing, and their controls take no state but
    // closing or closed (GuiControl::SetState).
    void MarkClosing(bool on);
    // Keeps how every control of the container and of its controls' child
    // groups stands now as the container's first state; from then on every
    // Drop puts it back, so that each open starts from it whatever the last
    // one hid, showed, moved or turned.
    void KeepFirstState();
    // Puts the flags and positions back (and the turns of controls that are
    // not open: an open one keeps the turn its visuals were built with).
    void RestoreFirstState();

    char* name;
    GuiControl* controls[kMaxControls];
    int controlCount;
    Vector3 offset;
    GuiControl* hovered;
    bool closing;
    bool keepsFirstState;

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
