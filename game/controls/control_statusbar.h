// "statusbar": the animated bar of the host's lines, with a queue of the
// lines waiting to be shown; the line itself is shown by the message text
// and its time kept by the message timer, both bound by the game screen.
// "msg": a text control with a second position ("pos2") that it takes,
// centred, during toss-ups and the tiebreak.
#pragma once
#include "controls_text.h"
#include "gui_control.h"
#include "indexed_list.h"

// windows.h renames PostMessage; the bar's operation keeps its own name.
#ifdef PostMessage
#undef PostMessage
#endif

class TimerControl;

// Bar states.
enum StatusBarState {
    BAR_IDLE = 0,     // showing a message
    BAR_CLOSED = 3,
    BAR_OPENING = 4,
    BAR_CLOSING = 5,
    BAR_HANDED_ON = 6 // closed after a closing, handing on to the queue
};

class StatusBarControl : public GuiControl {
public:
    StatusBarControl();
    ~StatusBarControl() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    // Shows the text now or queues it; null asks for the bar to close.
    void PostMessage(const char* text);
    // Shows the first queued entry (a null entry closes the bar); an empty
    // queue changes nothing. Always true.
    bool NextMessage();

    // The bar is still saying something: opening or closing, or the line
    // it shows still has its time (and the queued ones come after it). A
    // bar its screen has closed, or one without a timer, says nothing more.
    bool Speaking() const;

    unsigned QueuedCount() const { return queue.Count(); }
    // Queued entry i (null: a close request, or past the end).
    const char* QueuedAt(unsigned i) const;
    void ClearQueue();

    IndexedList<char*> queue;   // owned copies, in posting order
    TextControl* messageText;   // bound by the game screen; not owned
    TimerControl* messageTimer; // bound by the game screen; not owned

private:
    // Opens the bar on text, or closes it for null.
    void Show(const char* text);

protected:
    void ApplyState(int newState) override;
};

// The bar whose NextMessage the game-screen callback runs: the last one
// built, until its visuals are released.
extern StatusBarControl* g_gameStatusBar;
// A GuiCallback: NextMessage of the game screen's bar; always true.
bool StatusBarNextMessage(void* sender, const char* argument);

class MsgControl : public TextControl {
public:
    MsgControl();
    void Load(TiXmlElement* element) override;
    void Draw() override;

    Vector3 homePos;  // "pos", taken at load
    Vector3 altPos;   // "pos2"; zero when absent
};

// The board and message kinds by element name: "newpanel", "statusbar" and
// "msg"; null for any other name.
GuiControl* CreateBoardMessageControl(const char* elementName);
