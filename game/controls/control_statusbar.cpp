#include "control_statusbar.h"

#include <cstdlib>
#include <cstring>

#include "control_panel.h"
#include "controls_simple.h"
#include "model_instance.h"
#include "round_controller.h"
#include "tinyxml.h"

StatusBarControl* g_gameStatusBar = nullptr;

bool StatusBarNextMessage(void*, const char*) {
    if (g_gameStatusBar) g_gameStatusBar->NextMessage();
    return true;
}

static char* CopyText(const char* text) {
    if (!text || !*text) return nullptr;  // an empty text is a close request
    size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

StatusBarControl::StatusBarControl() : messageText(nullptr), messageTimer(nullptr) {}

StatusBarControl::~StatusBarControl() {
    // A bar destroyed while open still gives its queued copies back.
    ClearQueue();
    if (g_gameStatusBar == this) g_gameStatusBar = nullptr;
}

const char* StatusBarControl::QueuedAt(unsigned i) const {
    char** slot = const_cast<IndexedList<char*>&>(queue).At(i);
    return slot ? *slot : nullptr;
}

void StatusBarControl::ClearQueue() {
    for (unsigned i = 0; i < queue.Count(); ++i) {
        char** slot = queue.At(i);
        if (slot) std::free(*slot);
    }
    queue.Clear();
}

void StatusBarControl::Show(const char* text) {
    if (text) {
        SetState(BAR_OPENING);
        if (messageText) messageText->SetState(GUI_STATE_OPENING);
        // The text is data, never a format; a long line wraps onto the bar's
        // second line rather than running past its end.
        TextControl::SetText(messageText, "%s", text);
        if (messageText) messageText->SetTextBlock(nullptr);
    } else {
        SetState(BAR_CLOSING);
        if (messageText) messageText->SetState(GUI_STATE_CLOSING);
    }
}

void StatusBarControl::PostMessage(const char* text) {
    bool timerRunning = messageTimer && messageTimer->timeLeft > 0.0f;
    // A closing bar hands on to its queue when it has closed; one whose
    // screen is closing cannot open, and keeps the line until its visuals
    // go with the screen.
    bool busy = state == BAR_OPENING || state == BAR_CLOSING || RefusesState(BAR_OPENING) || timerRunning;
    if (!busy && queue.Count() == 0) {
        Show(text);
        return;
    }
    // Lines keep their order: a new one never overtakes those waiting.
    char* copy = CopyText(text);
    if (text && *text && !copy) return;  // out of memory: the line is dropped, not turned into a close
    queue.Append(copy);
    if (!busy) NextMessage();
}

bool StatusBarControl::Speaking() const {
    if (RefusesState(BAR_OPENING) || !messageTimer) return false;
    return state == BAR_OPENING || state == BAR_CLOSING || messageTimer->timeLeft > 0.0f;
}

bool StatusBarControl::NextMessage() {
    if (queue.Count() == 0 || RefusesState(BAR_OPENING)) return true;
    char** slot = queue.At(0);
    char* text = slot ? *slot : nullptr;
    // Taken off the queue first: showing it may run this again (state 6).
    queue.RemoveAt(0);
    Show(text);
    std::free(text);
    return true;
}

void StatusBarControl::ApplyState(int s) {
    switch (s) {
    case BAR_IDLE:
        PlayClip(body, kClipIdle, 4);
        if (messageTimer) {
            messageTimer->timeLeft = messageTimer->startTime;
            messageTimer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
        }
        state = BAR_IDLE;
        return;
    case GUI_STATE_OPENING:
        // Its screen opens again: the bar starts with nothing said. The
        // last line said before the screen closed, and the time that line
        // had left, would stand over the next match's first lines.
        if (messageText) TextControl::SetText(messageText, "%s", "");
        if (messageTimer) {
            messageTimer->timeLeft = 0.0f;
            messageTimer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
        }
        state = BAR_IDLE;
        return;
    case GUI_STATE_CLOSING: state = BAR_CLOSED; return;
    case BAR_OPENING:
        PlayClip(body, kClipOpen, 1);
        state = BAR_OPENING;
        return;
    case BAR_CLOSING:
        PlayClip(body, kClipClose, 1);
        state = BAR_CLOSING;
        return;
    case BAR_HANDED_ON:
        NextMessage();
        state = BAR_HANDED_ON;
        return;
    default: state = s; return;
    }
}

void StatusBarControl::Update() {
    if (state == BAR_OPENING && IsFinished(body)) SetState(BAR_IDLE);
    else if (state == BAR_CLOSING && IsFinished(body)) SetState(BAR_HANDED_ON);
}

void StatusBarControl::BuildVisuals() {
    FreeVisual(body);
    body = CreateVisual("body", scale * aspect, scale, scale, false);
    Place();
    g_gameStatusBar = this;
}

void StatusBarControl::ReleaseVisuals() {
    FreeVisual(body);
    ClearQueue();
    if (g_gameStatusBar == this) g_gameStatusBar = nullptr;
}

void StatusBarControl::Draw() { DrawVisual(body); }

// ---- "msg" ---------------------------------------------------------------------

MsgControl::MsgControl() : homePos{0.0f, 0.0f, 0.0f}, altPos{0.0f, 0.0f, 0.0f} {}

void MsgControl::Load(TiXmlElement* element) {
    TextControl::Load(element);
    homePos = position;
    if (element) altPos.Parse(element->Attribute("pos2"));
}

void MsgControl::Draw() {
    const RoundController& rc = g_round;
    bool tossup = rc.roundType == ROUND_TOSSUP_1000 || rc.roundType == ROUND_TOSSUP_2000 ||
                  rc.roundType == ROUND_TIEBREAK;
    bool atAlt = tossup && rc.state != STATE_SOLVE && rc.state != STATE_ROUND_WON;
    const Vector3& p = atAlt ? altPos : homePos;
    layout.horizontal = atAlt ? TEXT_ALIGN_CENTER : TEXT_ALIGN_LEFT;
    if (position.x != p.x || position.y != p.y || position.z != p.z) SetPosition(p.x, p.y, p.z);
    TextControl::Draw();
}

GuiControl* CreateBoardMessageControl(const char* elementName) {
    if (!elementName) return nullptr;
    if (std::strcmp(elementName, "newpanel") == 0) return new NewPanelControl();
    if (std::strcmp(elementName, "statusbar") == 0) return new StatusBarControl();
    if (std::strcmp(elementName, "msg") == 0) return new MsgControl();
    return nullptr;
}
