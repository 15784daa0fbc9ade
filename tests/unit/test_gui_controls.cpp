// The control base and the generic kinds: static, multielems, key, timer,
// button, check box and radio button, driven through the manager frame by
// frame with the mouse and keys set by hand.
#include "gui_test_util.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "controls_button.h"
#include "controls_simple.h"
#include "font_manager.h"
#include "model.h"

namespace {

CallLog g_log;

bool Rec(void* s, const char* a) {
    GuiControl* c = static_cast<GuiControl*>(s);
    g_log.Add(std::string(c && c->name ? c->name : "null") + ":" + (a ? a : "null"));
    return true;
}

// Logs the check box's value and state as the callback sees them.
bool CheckState(void* s, const char*) {
    CheckControl* c = static_cast<CheckControl*>(s);
    char text[64];
    std::snprintf(text, sizeof(text), "checked=%i state=%i", c->checked ? 1 : 0, c->state);
    g_log.Add(text);
    return true;
}

class GuiControls : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_log.Clear();
        g_guiManager.RegisterCallback("Rec", Rec);
        g_guiManager.RegisterCallback("CheckState", CheckState);
    }
    template <typename T>
    T* C(const char* path) {
        T* c = dynamic_cast<T*>(Control(path));
        EXPECT_NE(nullptr, c) << path;
        return c;
    }
    // Loads, opens the start screen and lets the three-frame opening clips end.
    void Open(const std::string& xml) {
        ASSERT_TRUE(Load(xml));
        Frame(6);
    }
    void Click() {
        Press();
        Frame();
        Release();
        Frame();
    }
};

// ---- Base ---------------------------------------------------------------------

TEST_F(GuiControls, MousePointInIsClampedInsideTheBox) {
    Open("<gui start_screen='a'><screen name='a'><static name='s' model='bare' texture='t' scale='1'/></screen></gui>");
    GuiControl* s = Control("a.s");  // box -0.1 .. 0.1
    MouseAt(0.0f, -0.1f);            // bottom edge: relative y 0
    EXPECT_FLOAT_EQ(0.99f, s->MousePointIn().y);
    EXPECT_FLOAT_EQ(0.5f, s->MousePointIn().x);
    EXPECT_FALSE(s->IsMouseOver());  // the edge is outside
    MouseAt(0.0f, 0.1f);             // top edge: relative y 1
    EXPECT_FLOAT_EQ(0.0f, s->MousePointIn().y);
    MouseAt(0.3f, 0.2f);  // above and right of the box
    EXPECT_FLOAT_EQ(0.01f, s->MousePointIn().y);
    EXPECT_FLOAT_EQ(0.99f, s->MousePointIn().x);
    MouseAt(0.05f, 0.05f);
    EXPECT_TRUE(s->IsMouseOver());
}

TEST_F(GuiControls, FlagsReachTheChildGroupByMode) {
    Open("<gui start_screen='a'><group name='g'><static name='in'/></group>"
         "<screen name='a'><group name='c' pos='1,0,0' group='g'/></screen></gui>");
    GuiControl* c = Control("a.c");
    GuiControl* in = Control("g.in");
    EXPECT_TRUE(in->IsOpen());  // opened with its parent

    c->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    EXPECT_EQ((unsigned)GUI_FLAG_HIDDEN, c->stateFlags & GUI_FLAG_HIDDEN);
    EXPECT_EQ((unsigned)GUI_FLAG_HIDDEN, in->styleFlags);
    c->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    EXPECT_EQ(0u, in->styleFlags);

    c->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE_ONLY);
    EXPECT_EQ(0u, in->styleFlags);
    c->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STYLE);
    EXPECT_EQ((unsigned)GUI_FLAG_NOT_DRAWN, c->styleFlags);
    EXPECT_EQ((unsigned)GUI_FLAG_NOT_DRAWN, in->styleFlags);

    // Moving an open control moves its child group with it.
    c->SetPosition(2.0f, 3.0f, 0.0f);
    EXPECT_EQ(2.0f, in->offset.x);
    EXPECT_EQ(3.0f, g_guiManager.FindGroup("g")->offset.y);
}

// ---- "static" -------------------------------------------------------------------

TEST_F(GuiControls, StaticWithoutOpenClipFinishesInItsFirstUpdate) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<static name='s' model='bare' texture='t' anim_speed='12' OnOpenEnd='Rec(open)' "
                     "OnCloseEnd='Rec(close)'/></screen><screen name='b'><static name='s'/></screen></gui>"));
    Frame();
    StaticControl* s = C<StaticControl>("a.s");
    EXPECT_EQ(12.0f, s->animSpeed);
    EXPECT_EQ(GUI_STATE_OPENING, s->state);
    Frame();
    EXPECT_EQ(GUI_STATE_IDLE, s->state);
    EXPECT_EQ("s:open", g_log.Joined());

    // Not open: only the pending state changes.
    StaticControl* closed = C<StaticControl>("b.s");
    closed->SetState(GUI_STATE_INACTIVE);
    EXPECT_EQ(GUI_STATE_INACTIVE, closed->pendingState);
    EXPECT_EQ(GUI_STATE_IDLE, closed->state);

    g_guiManager.OpenScreen("b");
    Frame(3);
    EXPECT_EQ("s:open s:close", g_log.Joined());
    EXPECT_EQ("b", CurrentWindowName());
}

TEST_F(GuiControls, HiddenControlOpensIdleAndIsNeitherUpdatedNorDrawn) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<static name='s' model='m' texture='t' OnOpenEnd='Rec(o)'/></screen></gui>"));
    StaticControl* s = C<StaticControl>("a.s");
    s->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    Frame();
    EXPECT_EQ(GUI_STATE_IDLE, s->state);
    MouseAt(0.0f, 0.0f);
    Frame(3);
    EXPECT_EQ(0u, s->body->frame);  // the idle clip never moved
    EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen()->hovered);
    EXPECT_TRUE(g_guiManager.GetCurrentScreen()->IsClosed());
    s->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    Frame();
    EXPECT_NE(0u, s->body->frame);
    EXPECT_EQ("", g_log.Joined());  // it never went through opening
}

// ---- "multielems" ---------------------------------------------------------------

TEST_F(GuiControls, MultiElemsBuildsNumberedElementsAndChecksItsCount) {
    Open("<gui start_screen='a'><screen name='a'>"
         "<multielems name='m' model='m' texture='t' elements='2' OnOpenEnd='Rec(o)'/></screen></gui>");
    MultiElemsControl* m = C<MultiElemsControl>("a.m");
    ASSERT_EQ(2, m->elementCount);
    ASSERT_NE(nullptr, m->elements[1]);
    EXPECT_NE(nullptr, m->elements[1]->model);  // part "element_2"
    EXPECT_EQ("m:o", g_log.Joined());
    EXPECT_EQ(PLAY_LOOP, m->elements[0]->playMode);
    g_guiManager.Clear();

    g_guiManager.RegisterCallback("Rec", Rec);
    ASSERT_TRUE(Load("<gui><screen name='a'><multielems name='neg' elements='-3'/>"
                     "<multielems name='none'/></screen></gui>"));
    EXPECT_EQ(0, C<MultiElemsControl>("a.neg")->elementCount);
    EXPECT_EQ(0, C<MultiElemsControl>("a.none")->elementCount);
    g_guiManager.Clear();

    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><multielems name='big' elements='2000000000'/>"
                     "</screen></gui>"));
    EXPECT_EQ("Gui control: <big> element count 2000000000 out of range (0 to 256)", Error());
    EXPECT_EQ(MultiElemsControl::kMaxElements, C<MultiElemsControl>("a.big")->elementCount);
    Frame(2);
}

// ---- "key" ----------------------------------------------------------------------

TEST_F(GuiControls, KeyFiresPressOnceActiveWhileHeldAndReleaseOnce) {
    Open("<gui start_screen='a'><screen name='a'>"
         "<key name='k' value='57' OnPress='Rec(p)' OnRelease='Rec(r)' OnActive='Rec(a)'/></screen>"
         "<window name='w'><key name='k' value='58' OnPress='Rec(w)'/></window></gui>");
    g_input.Set(57, KEY_WENT_DOWN);
    Frame(3);
    EXPECT_EQ("k:a k:p k:a k:a", g_log.Joined());
    g_log.Clear();
    g_input.Set(57, KEY_WENT_UP);
    Frame(2);
    EXPECT_EQ("k:a k:r", g_log.Joined());

    // Only the top of the stack listens.
    g_guiManager.OpenWindow("w");
    Frame(2);
    g_log.Clear();
    g_input.Set(57, KEY_WENT_DOWN);
    g_input.Set(58, KEY_WENT_DOWN);
    Frame();
    EXPECT_EQ("k:w", g_log.Joined());
}

TEST_F(GuiControls, KeyCodeOutsideTheInputTableNeverFires) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><key name='low' value='-5' OnActive='Rec()'/>"
                     "<key name='high' value='100000' OnActive='Rec()'/></screen></gui>"));
    EXPECT_EQ("Gui control: <high> input code 100000 out of range (0 to 152)", Error());
    EXPECT_EQ(-1, C<KeyControl>("a.low")->code);
    for (int code = 0; code < INPUT_CODE_COUNT; ++code) g_input.Set(code, KEY_HELD);
    Frame(2);
    EXPECT_EQ("", g_log.Joined());
}

// ---- "timer" ----------------------------------------------------------------------

TEST_F(GuiControls, TimerShowsItsLastSecondsAndEndsOnce) {
    g_renderer.frameTime = 0.5f;
    g_renderer.defaultFrameTime = 0.25f;  // the cap
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<timer name='t' value='10' show='3' OnEnd='Rec(end)'/>"
                     "<timer name='manual' value='4' auto='false' OnEnd='Rec(manual)'/></screen></gui>"));
    Frame();
    TimerControl* t = C<TimerControl>("a.t");
    EXPECT_EQ(10.0f, t->timeLeft);
    EXPECT_TRUE(t->HasFlags(GUI_FLAG_NOT_DRAWN));
    Frame();
    EXPECT_FLOAT_EQ(9.75f, t->timeLeft);  // at most the cap per frame
    int frames = 1;
    while (t->HasFlags(GUI_FLAG_NOT_DRAWN) && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(30, frames);  // shown from the update that starts below 3 s: about 7 s invisible
    EXPECT_LT(t->timeLeft, 3.0f);
    EXPECT_EQ("", g_log.Joined());
    while (t->timeLeft > 0.0f && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ("t:end", g_log.Joined());
    EXPECT_TRUE(t->HasFlags(GUI_FLAG_NOT_DRAWN));
    Frame(3);
    EXPECT_EQ("t:end", g_log.Joined());

    // Without automatic start it runs when the game sets its time; set to
    // 0 it stops without "OnEnd".
    TimerControl* m = C<TimerControl>("a.manual");
    EXPECT_FALSE(m->autoStart);
    EXPECT_EQ(0.0f, m->timeLeft);
    m->timeLeft = m->startTime;
    Frame(2);
    EXPECT_FLOAT_EQ(3.5f, m->timeLeft);
    m->timeLeft = 0.0f;
    Frame(20);
    EXPECT_EQ("t:end", g_log.Joined());
}

std::string g_glyphs;
void RecordGlyph(unsigned char c, const Font*) { g_glyphs += (char)c; }

TEST_F(GuiControls, TimerShowsTheSecondsRoundedUp) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><timer name='t' auto='false'/></screen></gui>"));
    Frame();
    TimerControl* t = C<TimerControl>("a.t");
    Font font;
    for (char c = '0'; c <= '9'; ++c) font.glyphs[(unsigned char)c] = new Mesh();
    t->font = &font;
    g_fontManager.glyphObserver = RecordGlyph;
    const std::pair<float, const char*> cases[] = {{2.005f, "2"}, {2.02f, "3"}, {0.3f, "1"}, {0.0f, ""}};
    for (const auto& c : cases) {
        g_glyphs.clear();
        t->timeLeft = c.first;
        t->Draw();
        EXPECT_EQ(c.second, g_glyphs) << c.first;
    }
    g_fontManager.glyphObserver = nullptr;
    t->font = nullptr;
}

// ---- "button" ---------------------------------------------------------------------

const char* kButtons =
    "<gui start_screen='a'><screen name='a'>"
    "<button name='b' model='m' texture='t' highlight='2,1,1' OnPress='Rec(press)' OnHoverStart='Rec(hs)' "
    "OnHoverEnd='Rec(he)'/>"
    "<check name='c' pos='1,0,0' model='m' texture='t' OnCheck='CheckState()' OnHoverEnd='Rec(he)'/>"
    "</screen><screen name='b'><button name='off' model='m' texture='t'/>"
    "<check name='on' model='m' texture='t'/></screen></gui>";

TEST_F(GuiControls, ButtonFiresOnReleaseOverIt) {
    Open(kButtons);
    ButtonControl* b = C<ButtonControl>("a.b");
    ASSERT_EQ(GUI_STATE_IDLE, b->state);
    EXPECT_FLOAT_EQ(2.0f, b->highlight->scale.x);
    MouseAt(0.0f, 0.0f);
    Frame();
    EXPECT_EQ(GUI_STATE_HOVER_START, b->state);
    Frame(4);
    EXPECT_EQ(GUI_STATE_HOVER, b->state);
    Press();
    Frame();
    EXPECT_EQ(GUI_STATE_SELECTED, b->state);
    EXPECT_EQ(b, g_guiManager.GetActiveControl());
    Frame(2);  // held: nothing yet
    EXPECT_EQ("b:hs", g_log.Joined());
    Release();
    Frame();
    EXPECT_EQ("b:hs b:press b:he", g_log.Joined());
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    EXPECT_EQ(GUI_STATE_HOVER_END, b->state);
    Frame(5);
    EXPECT_EQ("b:hs b:press b:he b:hs", g_log.Joined());  // still under the mouse
}

// A tap (press and release sent together, as touchpads and remote desktops
// do) arrives through the window in one frame and still fires the button;
// a double click sent all at once leaves nothing held.
TEST_F(GuiControls, InstantClickFromTheWindowFiresTheButton) {
    Open(kButtons);
    RendererWindow w;
    ASSERT_TRUE(w.Ok());
    MouseAt(0.0f, 0.0f);
    Frame(5);
    auto frame = [&]() {
        w.Pump();
        Frame();
    };
    const long centre = MAKELPARAM(400, 300);
    w.Post(WM_SIZE, 0, MAKELPARAM(800, 600));
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    w.Post(WM_LBUTTONUP, 0, centre);
    frame();
    frame();
    EXPECT_EQ("b:hs b:press b:he", g_log.Joined());
    Frame(5);
    g_log.Clear();
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    w.Post(WM_LBUTTONUP, 0, centre);
    w.Post(WM_LBUTTONDBLCLK, MK_LBUTTON, centre);
    w.Post(WM_LBUTTONUP, 0, centre);
    for (int i = 0; i < 10; ++i) frame();
    // The first click fires; the second, a double click, only ends cleanly.
    EXPECT_EQ("b:press b:he b:hs", g_log.Joined());
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    EXPECT_EQ(KEY_UP, g_input.Get(INPUT_MOUSE_LEFT));
    g_renderer.clientWidth = g_renderer.clientHeight = 0;
}

// A tap on a button the pointer was not over: the move, the press and the
// release reach the window together, and the button under the pointer at
// the press fires, whether the move came as its own message or only with
// the press. A tap elsewhere presses nothing.
TEST_F(GuiControls, TapThatMovesAndPressesAtOnceFiresTheButtonUnderIt) {
    Open(kButtons);
    ButtonControl* b = C<ButtonControl>("a.b");
    RendererWindow w;
    ASSERT_TRUE(w.Ok());
    const Vector3 viewBefore = g_renderer.viewSize;
    g_renderer.viewSize = Vector3{2.6666665f, 2.0f, 100.0f};
    auto frames = [&](int n) {
        for (int i = 0; i < n; ++i) {
            w.Pump();
            Frame();
        }
    };
    w.Post(WM_SIZE, 0, MAKELPARAM(800, 600));
    w.Post(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    frames(3);
    ASSERT_EQ(GUI_STATE_IDLE, b->state);
    const long centre = MAKELPARAM(400, 300), corner = MAKELPARAM(5, 5);
    w.Post(WM_MOUSEMOVE, 0, centre);
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    w.Post(WM_LBUTTONUP, 0, centre);
    frames(2);
    EXPECT_EQ("b:hs b:press b:he", g_log.Joined());

    // Away again, then a press that alone carries the new place.
    w.Post(WM_MOUSEMOVE, 0, corner);
    frames(6);
    ASSERT_EQ(GUI_STATE_IDLE, b->state);
    g_log.Clear();
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    w.Post(WM_LBUTTONUP, 0, centre);
    frames(2);
    EXPECT_EQ("b:hs b:press b:he", g_log.Joined());

    // Every other button's press, and a double click of any, carries its
    // place as well: the pointer is over the button at once, which only a
    // left press fires.
    const struct {
        UINT message, release;
        int code, edge;
    } kOthers[] = {{WM_LBUTTONDBLCLK, WM_LBUTTONUP, INPUT_MOUSE_LEFT, KEY_DOUBLE_CLICK},
                   {WM_RBUTTONDOWN, WM_RBUTTONUP, INPUT_MOUSE_RIGHT, KEY_WENT_DOWN},
                   {WM_RBUTTONDBLCLK, WM_RBUTTONUP, INPUT_MOUSE_RIGHT, KEY_DOUBLE_CLICK},
                   {WM_MBUTTONDOWN, WM_MBUTTONUP, INPUT_MOUSE_MIDDLE, KEY_WENT_DOWN},
                   {WM_MBUTTONDBLCLK, WM_MBUTTONUP, INPUT_MOUSE_MIDDLE, KEY_DOUBLE_CLICK}};
    for (const auto& k : kOthers) {
        w.Post(WM_MOUSEMOVE, 0, corner);
        frames(6);
        ASSERT_EQ(GUI_STATE_IDLE, b->state) << k.message;
        g_log.Clear();
        w.Post(k.message, 0, centre);
        w.Pump();
        EXPECT_EQ(k.edge, g_input.Get(k.code)) << k.message;
        EXPECT_EQ(400, g_input.Get(INPUT_MOUSE_X)) << k.message;
        EXPECT_EQ(300, g_input.Get(INPUT_MOUSE_Y)) << k.message;
        Frame();
        w.Post(k.release, 0, centre);
        frames(2);
        EXPECT_EQ("b:hs", g_log.Joined()) << k.message;
    }

    // A tap on the empty stage presses nothing and leaves nothing held.
    w.Post(WM_MOUSEMOVE, 0, corner);
    frames(6);
    g_log.Clear();
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, corner);
    w.Post(WM_LBUTTONUP, 0, corner);
    frames(3);
    EXPECT_EQ("", g_log.Joined());
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    g_renderer.viewSize = viewBefore;
    g_renderer.clientWidth = g_renderer.clientHeight = 0;
}

TEST_F(GuiControls, ButtonReleasedAfterMovingOffFiresNothing) {
    Open(kButtons);
    ButtonControl* b = C<ButtonControl>("a.b");
    MouseAt(0.0f, 0.0f);
    Frame();
    Press();  // a press in hover start counts
    Frame();
    EXPECT_EQ(b, g_guiManager.GetActiveControl());
    MouseAt(3.0f, 3.0f);
    Frame();
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    Release();
    Frame(3);
    EXPECT_EQ("b:hs b:he", g_log.Joined());
    for (int i = 0; i < 10 && b->state != GUI_STATE_IDLE; ++i) Frame();
    EXPECT_EQ(GUI_STATE_IDLE, b->state);
}

TEST_F(GuiControls, DisabledButtonIsInactiveAndNotHit) {
    Open(kButtons);
    ButtonControl* b = C<ButtonControl>("a.b");
    MouseAt(0.0f, 0.0f);
    Frame();
    b->SetEnabled(false);
    EXPECT_EQ(GUI_STATE_INACTIVE, b->state);
    EXPECT_EQ(PLAY_LOOP, b->body->playMode);
    Frame();  // no longer hit: the hover ends, the state stays
    EXPECT_EQ(GUI_STATE_INACTIVE, b->state);
    EXPECT_EQ("b:hs b:he", g_log.Joined());
    Click();
    EXPECT_EQ("b:hs b:he", g_log.Joined());
    b->SetEnabled(true);
    EXPECT_FALSE(b->HasFlags(GUI_FLAG_DISABLED));
    Frame(2);
    Click();
    EXPECT_EQ("b:hs b:he b:hs b:press b:he", g_log.Joined());

    // Disabled while its screen is closed: it opens into "inactive".
    ButtonControl* off = C<ButtonControl>("b.off");
    off->SetEnabled(false);
    EXPECT_EQ(GUI_STATE_INACTIVE, off->pendingState);
    g_guiManager.OpenScreen("b");
    for (int i = 0; i < 20 && off->state != GUI_STATE_INACTIVE; ++i) Frame();
    EXPECT_EQ(GUI_STATE_INACTIVE, off->state);
    EXPECT_TRUE(off->IsOpen());
}

// ---- "check" ------------------------------------------------------------------------

TEST_F(GuiControls, CheckBoxTogglesOnPressAfterSettingItsState) {
    Open(kButtons);
    CheckControl* c = C<CheckControl>("a.c");
    MouseAt(1.0f, 0.0f);
    Frame();
    EXPECT_EQ(GUI_STATE_CHECK_HOVER, c->state);
    Press();
    Frame();
    EXPECT_EQ("checked=1 state=5", g_log.Joined());
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());  // no capture
    Release();
    Frame();
    Press();
    Frame();
    EXPECT_EQ("checked=1 state=5 checked=0 state=0", g_log.Joined());
    Frame();
    EXPECT_EQ(GUI_STATE_CHECK_HOVER, c->state);
    MouseAt(3.0f, 3.0f);
    Frame();
    EXPECT_EQ(GUI_STATE_IDLE, c->state);

    // Checked while closed: opens into the checked state.
    CheckControl* on = C<CheckControl>("b.on");
    on->SetChecked(true);
    EXPECT_EQ(GUI_STATE_IDLE, on->state);
    g_guiManager.OpenScreen("b");
    Frame(10);
    EXPECT_EQ(GUI_STATE_CHECKED, on->state);
}

// An unchecked box under the mouse while its screen closes must finish
// closing, or the screen change would wait for ever.
TEST_F(GuiControls, HoveredCheckBoxStillClosesWithItsScreen) {
    Open(kButtons);
    MouseAt(1.0f, 0.0f);
    Frame();
    ASSERT_EQ(GUI_STATE_CHECK_HOVER, C<CheckControl>("a.c")->state);
    g_guiManager.OpenScreen("b");
    for (int i = 0; i < 20 && CurrentWindowName() != "b"; ++i) Frame();
    EXPECT_EQ("b", CurrentWindowName());
}

// ---- "radiobut" ---------------------------------------------------------------------

TEST_F(GuiControls, RadioClassCollectsOnlyRadioButtonsWithThePrefix) {
    Open("<gui start_screen='a'><screen name='a'>"
         "<radiobut name='opt1' class='opt'/><radiobut name='option'/><radiobut name='Opt2'/>"
         "<button name='opt3'/><radiobut name='xopt'/><radiobut name='opt4' class='opt'/></screen></gui>");
    RadioButtonControl* r = C<RadioButtonControl>("a.opt1");
    ASSERT_EQ(2u, r->members.Count());
    EXPECT_STREQ("option", (*r->members.At(0))->name);
    EXPECT_STREQ("opt4", (*r->members.At(1))->name);
    EXPECT_EQ(0u, C<RadioButtonControl>("a.option")->members.Count());
    EXPECT_EQ(2u, C<RadioButtonControl>("a.opt4")->members.Count());
    EXPECT_EQ(-1, r->GetSelected());
    // Selecting drives only radio buttons; the button named alike is left alone.
    r->Select(true);
    EXPECT_EQ(GUI_STATE_IDLE, C<ButtonControl>("a.opt3")->state);
}

TEST_F(GuiControls, SelectingARadioButtonDeselectsItsClassButInactiveOnes) {
    Open("<gui start_screen='a'><screen name='a'>"
         "<radiobut name='r1' model='m' texture='t' class='r' OnSelect='Rec(sel)'/>"
         "<radiobut name='r2' pos='1,0,0' model='m' texture='t' class='r'/>"
         "<radiobut name='r3' pos='2,0,0' model='m' texture='t' class='r'/></screen><screen name='b'/></gui>");
    RadioButtonControl* r1 = C<RadioButtonControl>("a.r1");
    RadioButtonControl* r2 = C<RadioButtonControl>("a.r2");
    RadioButtonControl* r3 = C<RadioButtonControl>("a.r3");
    r2->Select(true);
    r3->SetState(GUI_STATE_INACTIVE);
    EXPECT_EQ(1, r1->GetSelected());

    MouseAt(0.0f, 0.0f);
    Frame();
    Click();
    EXPECT_EQ("r1:sel", g_log.Joined());
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    EXPECT_EQ(GUI_STATE_SELECTED, r1->state);
    EXPECT_TRUE(r1->HasFlags(GUI_FLAG_DISABLED));
    EXPECT_EQ(GUI_STATE_IDLE, r2->state);
    EXPECT_FALSE(r2->HasFlags(GUI_FLAG_DISABLED));
    EXPECT_EQ(GUI_STATE_INACTIVE, r3->state);
    EXPECT_EQ(0, r1->GetSelected());
    EXPECT_EQ(1, r2->GetSelected());
    EXPECT_EQ(1, r3->GetSelected());

    // Selected, it takes no more clicks.
    Frame();
    Click();
    EXPECT_EQ("r1:sel", g_log.Joined());

    // Dropping it gives the mouse back.
    g_guiManager.OpenScreen("b");
    Frame(10);
    EXPECT_FALSE(r1->HasFlags(GUI_FLAG_DISABLED));
}

}  // namespace
