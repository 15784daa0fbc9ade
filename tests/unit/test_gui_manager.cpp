// The GUI manager: loading the document, handler lists, the deferred
// command queue and the window stack, the draw list and mouse routing.
#include "gui_test_util.h"

#include "controls_simple.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <tinyxml.h>

namespace {

CallLog g_log;

std::string Arg(const char* a) { return a ? a : "null"; }
std::string SenderName(void* sender, bool container) {
    if (!sender) return "null";
    const char* n = container ? static_cast<GuiGroup*>(sender)->name : static_cast<GuiControl*>(sender)->name;
    return n ? n : "?";
}

bool Rec(void*, const char* a) { g_log.Add("R(" + Arg(a) + ")"); return true; }
bool Halt(void*, const char* a) { g_log.Add("H(" + Arg(a) + ")"); return false; }
bool Other(void*, const char* a) { g_log.Add("O(" + Arg(a) + ")"); return true; }
bool Opened(void* s, const char*) { g_log.Add("open:" + SenderName(s, true)); return true; }
bool Closed(void* s, const char*) { g_log.Add("close:" + SenderName(s, true)); return true; }
bool Started(void* s, const char*) { g_log.Add("start:" + SenderName(s, true)); return true; }

// A control kind that counts what the manager does to it. Its body is the
// "open"/"close"/"idle" animated body of the static kind; it is drawn
// through the text helper without a block, which must still animate it.
struct Probe : GuiControl {
    bool grab = false;          // MouseOver asks for the capture
    bool keepCapture = true;    // CapturedInput's answer
    int updates = 0, overs = 0, captured = 0, enters = 0, leaves = 0, takes = 0, draws = 0;

    void BuildVisuals() override { SetUpBody(false); }
    void ReleaseVisuals() override { FreeVisual(body); }
    void ApplyState(int s) override {
        if (s == GUI_STATE_IDLE) PlayClip(body, kClipIdle, PLAY_LOOP);
        else if (s == GUI_STATE_OPENING) PlayClip(body, kClipOpen, PLAY_ONCE);
        else if (s == GUI_STATE_CLOSING) PlayClip(body, kClipClose, PLAY_ONCE);
        state = s;
    }
    void Update() override {
        ++updates;
        StepOpenClose(body);
    }
    bool MouseOver() override { ++overs; return !grab; }
    bool CapturedInput() override { ++captured; return keepCapture; }
    void MouseEnter() override { ++enters; }
    void MouseLeave() override { ++leaves; }
    void TakeCapture() override { ++takes; }
    void Draw() override {
        ++draws;
        DrawVisualWithText(body, nullptr, nullptr, nullptr);
    }
};

GuiControl* ProbeFactory(const char* element) {
    if (std::strcmp(element, "probe") == 0) return new Probe();
    return CreateGenericGuiControl(element);
}

class GuiManagerTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_log.Clear();
        g_guiManager.RegisterCallback("Rec", Rec);
        g_guiManager.RegisterCallback("Halt", Halt);
        g_guiManager.RegisterCallback("Other", Other);
        g_guiManager.RegisterCallback("Opened", Opened);
        g_guiManager.RegisterCallback("Closed", Closed);
        g_guiManager.RegisterCallback("Started", Started);
    }
    Probe* P(const char* path) { return dynamic_cast<Probe*>(Control(path)); }
    // Frames until the queue is empty (at most n).
    void Settle(int n = 30) {
        for (int i = 0; i < n && g_guiManager.QueuedCommands(); ++i) Frame();
        Frame();
    }
    int StackDepth() {
        int depth = 0;
        GuiScreen* s = g_guiManager.GetCurrentScreen();
        for (GuiWindow* w = s ? s->windowAbove : nullptr; w && depth < 100; w = w->windowAbove) ++depth;
        return depth;
    }
};

// ---- Handler lists ----------------------------------------------------------

std::string RunList(const char* text, bool* result = nullptr) {
    GuiHandlerList* list = g_guiManager.ParseHandlers(text);
    g_log.Clear();
    bool r = list->Invoke(nullptr);
    if (result) *result = r;
    delete list;
    return g_log.Joined();
}

TEST_F(GuiManagerTest, HandlerListsRunInOrderUntilOneReturnsFalse) {
    bool r = false;
    EXPECT_EQ("R(1) O(2)", RunList("Rec(1);Other(2)", &r));
    EXPECT_TRUE(r);
    EXPECT_EQ("H(1)", RunList("Halt(1);Rec(2)", &r));
    EXPECT_FALSE(r);
    EXPECT_EQ("R(null)", RunList("Rec()"));  // an empty argument is null, not ""
    EXPECT_EQ("R(x)", RunList("Rec(x)junk"));
    EXPECT_EQ("R(a b)", RunList(";;Rec(a b);"));
    EXPECT_EQ("R(null) R(abc)", RunList("Rec;Rec(abc"));  // no "(": no argument; no ")": the rest
    EXPECT_EQ("", RunList(nullptr, &r));
    EXPECT_TRUE(r);  // an absent attribute: empty list, true
}

TEST_F(GuiManagerTest, UnknownNamesAreDroppedWithoutAMessage) {
    g_guiManager.SetError("before");
    GuiHandlerList* list = g_guiManager.ParseHandlers("Rec(1);Unknown(2);Other(3);rec(4); Rec(5)");
    EXPECT_EQ(2u, list->Count());
    EXPECT_STREQ("1", list->ArgumentAt(0));
    EXPECT_STREQ("3", list->ArgumentAt(1));
    delete list;
    EXPECT_EQ("before", Error());
}

TEST_F(GuiManagerTest, RegistryBucketsCollideAndFindTheFirstOfAName) {
    // "d" sums to 100, eleven of them to 1100: the same bucket.
    EXPECT_EQ(CallbackRegistry::Bucket("d"), CallbackRegistry::Bucket("ddddddddddd"));
    // Bytes above 0x7F count negative.
    EXPECT_EQ(1000 - 56, CallbackRegistry::Bucket("\xC8"));
    CallbackRegistry reg;
    reg.Register("d", Rec);
    reg.Register("ddddddddddd", Halt);
    reg.Register("d", Other);  // stored, never found
    EXPECT_EQ(3u, reg.BucketSize(CallbackRegistry::Bucket("d")));
    EXPECT_EQ(&Rec, reg.Find("d"));
    EXPECT_EQ(&Halt, reg.Find("ddddddddddd"));
    EXPECT_EQ(nullptr, reg.Find("D"));
    EXPECT_EQ(nullptr, reg.Find(nullptr));

    // A name of 128 characters or more keeps its first 127.
    std::string longName(200, 'q');
    reg.Register(longName.c_str(), Other);
    EXPECT_EQ(&Other, reg.Find(longName.substr(0, 127).c_str()));
    EXPECT_EQ(nullptr, reg.Find(longName.c_str()));
    reg.Clear();
    EXPECT_EQ(nullptr, reg.Find("d"));
}

TEST_F(GuiManagerTest, NamesAreResolvedOnceWhileLoading) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a' OnOpen='Late(1);Rec(2)'/></gui>"));
    g_guiManager.RegisterCallback("Late", Halt);
    Frame();
    EXPECT_EQ("R(2)", g_log.Joined());
}

// ---- Loading ----------------------------------------------------------------

TEST_F(GuiManagerTest, ParseErrorsGiveTheParsersRowAndColumn) {
    const char* text = "<gui>\n  <screen name='a'></scren>\n</gui>";
    TiXmlDocument doc;
    doc.Parse(text);
    ASSERT_TRUE(doc.Error());
    ASSERT_EQ(2, doc.ErrorRow());  // TinyXML already counts from 1
    EXPECT_FALSE(Load(text));
    char expected[256];
    std::snprintf(expected, sizeof(expected), "GUI: (2,%i): %s", doc.ErrorCol(), doc.ErrorDesc());
    EXPECT_EQ(expected, Error());
}

TEST_F(GuiManagerTest, MissingDocumentReportsTheFileSystemError) {
    std::string manifest = "<manifest res_path=\"" + dir + "\"><group path=\"\"/></manifest>";
    ASSERT_TRUE(WriteWholeFile(dir + "manifest.xml", manifest));
    ASSERT_TRUE(g_fileSystem.Load((dir + "manifest.xml").c_str()));
    EXPECT_FALSE(g_guiManager.Load(CreateGenericGuiControl));
    EXPECT_EQ("File <GUI> not found", Error()) << "no entry: the label is named";
    // An entry whose file is missing names the path and the ID.
    manifest = "<manifest res_path=\"" + dir + "\"><group path=\"\"><file label=\"GUI\" path=\"none.xml\"/>"
               "</group></manifest>";
    ASSERT_TRUE(WriteWholeFile(dir + "manifest.xml", manifest));
    ASSERT_TRUE(g_fileSystem.Load((dir + "manifest.xml").c_str()));
    EXPECT_FALSE(g_guiManager.Load(CreateGenericGuiControl));
    EXPECT_EQ("File <" + dir + "none.xml> not found, file ID = 1.", Error());
}

TEST_F(GuiManagerTest, UnknownKindsStopLoadingWithTheirMessage) {
    EXPECT_FALSE(Load("<gui><screen name='a'/><panel name='p'/><screen name='b'/></gui>"));
    EXPECT_EQ("Unrecognized gui environment: <panel>", Error());
    EXPECT_NE(nullptr, g_guiManager.FindScreen("a"));  // what was built stays
    EXPECT_EQ(nullptr, g_guiManager.FindScreen("b"));
    g_guiManager.Clear();

    EXPECT_FALSE(Load("<gui><screen name='a'><static name='s'/><gizmo name='g'/></screen></gui>"));
    EXPECT_EQ("Unrecognized gui control: <gizmo>", Error());
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());
}

TEST_F(GuiManagerTest, ControlWithoutNameKeepsItsDefaultsAndLoadingGoesOn) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><static pos='1,2,3' model='m'/><static name='s'/>"
                     "</screen></gui>"));
    EXPECT_EQ("Gui control: <static> has no name", Error());
    GuiScreen* a = g_guiManager.FindScreen("a");
    ASSERT_EQ(2, a->controlCount);
    EXPECT_EQ(nullptr, a->controls[0]->name);
    EXPECT_EQ(0.0f, a->controls[0]->position.x);
    EXPECT_EQ(nullptr, a->controls[0]->modelName);
    EXPECT_EQ(1, a->controls[1]->indexInOwner);
    EXPECT_EQ(a, a->controls[1]->owner);
}

TEST_F(GuiManagerTest, StartScreenAndOnStartRunAsTheDocumentSays) {
    ASSERT_TRUE(Load("<gui start_screen='nope' OnStart='Started()'><screen name='a'/></gui>"));
    EXPECT_EQ("Screen <nope> not found", Error());
    EXPECT_EQ("start:null", g_log.Joined());
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());
    Frame();
    EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen());
}

TEST_F(GuiManagerTest, GroupsThatWouldContainThemselvesAreRefused) {
    ASSERT_TRUE(Load("<gui start_screen='s'><screen name='s'/><group name='g'><group name='self' group='g'/><group name='down' group='h'/></group>"
                     "<group name='h'><group name='up' group='g'/></group></gui>"));
    EXPECT_EQ(nullptr, Control("g.self")->childGroup);
    EXPECT_EQ(g_guiManager.FindGroup("h"), Control("g.down")->childGroup);
    EXPECT_EQ(nullptr, Control("h.up")->childGroup);  // g -> h -> g
    EXPECT_NE(std::string::npos, Error().find("<up>"));
}

TEST_F(GuiManagerTest, FindControlTakesTheContainerUpToTheFirstDot) {
    ASSERT_TRUE(Load("<gui><group name='x'><static name='s'/></group><window name='x'><static name='s'/></window>"
                     "<screen name='x'><static name='b.c'/></screen></gui>"));
    EXPECT_EQ(nullptr, Control("x"));
    EXPECT_EQ(nullptr, Control("x.s"));  // the screen x is looked at first
    EXPECT_EQ(g_guiManager.FindScreen("x")->controls[0], Control("x.b.c"));
    EXPECT_EQ(nullptr, Control("y.s"));
    EXPECT_EQ(nullptr, g_guiManager.FindScreen(nullptr));
}

// Numbers and names beyond the tables give messages, never a crash.
TEST_F(GuiManagerTest, TablesAndMessagesAreBounded) {
    std::string many = "<gui><screen name='a'>";
    for (int i = 0; i < GuiGroup::kMaxControls + 1; ++i) many += "<key name='k'/>";
    EXPECT_FALSE(Load(many + "</screen></gui>"));
    EXPECT_EQ("Too many gui controls in <a> (at most 2048)", Error());
    g_guiManager.Clear();

    std::string total = "<gui>";
    for (int s = 0; s < 3; ++s) {
        total += "<screen name='s'>";
        for (int i = 0; i < 1500; ++i) total += "<key/>";
        total += "</screen>";
    }
    EXPECT_FALSE(Load(total + "</gui>"));
    EXPECT_EQ("Too many gui controls: <key> (at most 4096)", Error());
    g_guiManager.Clear();

    std::string groups = "<gui>";
    for (int i = 0; i < GuiManager::kMaxGroups + 1; ++i) groups += "<group/>";
    EXPECT_FALSE(Load(groups + "</gui>"));
    EXPECT_EQ("Too many gui environments: <group> (at most 512)", Error());
    g_guiManager.Clear();

    std::string longName(3000, 'x');
    EXPECT_FALSE(Load("<gui><screen name='a'><" + longName + "/></screen></gui>"));
    EXPECT_EQ(1023u, Error().size());
    EXPECT_EQ("Unrecognized gui control: <xxx", Error().substr(0, 30));
    EXPECT_FALSE(g_guiManager.OpenScreen(longName.c_str()));
    EXPECT_EQ(1023u, Error().size());
}

// ---- Screens, windows and the queue ----------------------------------------

const char* kStack =
    "<gui start_screen='a'>"
    "<screen name='a' OnOpen='Opened()' OnClose='Closed()'><probe name='p' model='m' texture='t'/></screen>"
    "<screen name='b' start_window='w1' OnOpen='Opened()' OnClose='Closed()'><probe name='p'/></screen>"
    "<screen name='c' start_window='missing'/>"
    "<window name='w1' OnOpen='Opened()' OnClose='Closed()'><probe name='p'/></window>"
    "<window name='w2' OnOpen='Opened()' OnClose='Closed()'><probe name='p'/></window>"
    "<window name='w3' OnOpen='Opened()' OnClose='Closed()'><probe name='p'/></window>"
    "</gui>";

TEST_F(GuiManagerTest, StartScreenOpensAtTheEndOfTheFirstDraw) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    EXPECT_EQ(2u, g_guiManager.QueuedCommands());
    EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen());
    g_guiManager.Update();
    EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen());
    g_guiManager.Draw();
    EXPECT_EQ("a", CurrentWindowName());
    EXPECT_EQ(g_guiManager.GetCurrentScreen(), g_guiManager.GetCurrentWindow());
    EXPECT_EQ("open:a", g_log.Joined());
    Probe* p = P("a.p");
    EXPECT_TRUE(p->IsOpen());
    EXPECT_EQ(GUI_STATE_OPENING, p->state);
    EXPECT_EQ(g_guiManager.FindScreen("a"), p->owner);
}

TEST_F(GuiManagerTest, OpenScreenAndWindowFailuresQueueNothing) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    EXPECT_FALSE(g_guiManager.OpenScreen("zz"));
    EXPECT_EQ("Screen <zz> not found", Error());
    EXPECT_FALSE(g_guiManager.OpenWindow("zz"));
    EXPECT_EQ("Window <zz> not found", Error());
    EXPECT_FALSE(g_guiManager.CloseWindow());
    EXPECT_EQ("Cannot close the screen", Error());
    EXPECT_FALSE(g_guiManager.ChangeWindow("w1"));
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());

    // A known screen whose start window is unknown still switches.
    EXPECT_TRUE(g_guiManager.OpenScreen("c"));
    EXPECT_EQ("Window <missing> not found", Error());
    EXPECT_EQ(2u, g_guiManager.QueuedCommands());
}

TEST_F(GuiManagerTest, ScreenChangeWaitsForTheClosingAnimation) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    Probe* p = P("a.p");
    for (int i = 0; i < 10 && p->state != GUI_STATE_IDLE; ++i) Frame();
    ASSERT_EQ(GUI_STATE_IDLE, p->state);
    g_log.Clear();

    ASSERT_TRUE(g_guiManager.OpenScreen("b"));  // with start window w1
    EXPECT_EQ(3u, g_guiManager.QueuedCommands());
    Frame();
    EXPECT_EQ(GUI_STATE_CLOSING, p->state);
    int frames = 1;
    while (g_guiManager.GetCurrentScreen() == g_guiManager.FindScreen("a") && frames < 20) {
        EXPECT_EQ(2u, g_guiManager.QueuedCommands());  // the push waits behind the switch
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 3);  // the three-frame "close" clip ran
    EXPECT_EQ("w1", CurrentWindowName());
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());
    EXPECT_EQ("close:a open:b open:w1", g_log.Joined());
    EXPECT_FALSE(p->IsOpen());
    EXPECT_EQ(nullptr, p->owner);
    EXPECT_EQ(nullptr, p->body);
    EXPECT_EQ(GUI_STATE_IDLE, p->pendingState);
}

// Once a screen starts closing it takes no new work until it opens again:
// its controls (those of its child groups and of the windows left with it
// too) take no state but closing or closed, only the controls still
// playing their closing are updated, and a timer stops without its end.
TEST_F(GuiManagerTest, AClosingScreenTakesNoNewWork) {
    ASSERT_TRUE(Load("<gui start_screen='a'>"
                     "<group name='g'><probe name='q'/></group>"
                     "<screen name='a' OnOpen='Opened()' OnClose='Closed()'><probe name='p' model='m' texture='t'/>"
                     "<probe name='holder' group='g'/><timer name='t' value='0.2' auto='false' OnEnd='Rec(t)'/></screen>"
                     "<screen name='b'/>"
                     "<window name='w1'><probe name='p'/></window><window name='w2'><probe name='p'/></window>"
                     "</gui>",
                     ProbeFactory));
    Settle();
    Probe* p = P("a.p");
    Probe* q = P("g.q");
    Probe* covered = P("w1.p");
    TimerControl* t = dynamic_cast<TimerControl*>(Control("a.t"));
    ASSERT_TRUE(p && q && covered && t);
    for (int i = 0; i < 10 && p->state != GUI_STATE_IDLE; ++i) Frame();
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    Settle();
    t->timeLeft = 0.5f;
    g_log.Clear();

    ASSERT_TRUE(g_guiManager.OpenScreen("b"));
    Frame();
    ASSERT_EQ(GUI_STATE_CLOSING, p->state);
    EXPECT_EQ(0.0f, t->timeLeft) << "the timer stops with its screen";
    p->SetState(GUI_STATE_IDLE);
    q->SetState(GUI_STATE_HOVER);
    covered->SetState(GUI_STATE_SELECTED);
    t->SetState(GUI_STATE_IDLE);
    EXPECT_EQ(GUI_STATE_CLOSING, p->state);
    EXPECT_EQ(GUI_STATE_IDLE, q->state);
    EXPECT_EQ(GUI_STATE_IDLE, covered->state);
    EXPECT_EQ(GUI_STATE_CLOSED, t->state);
    t->timeLeft = 0.1f;  // a late start changes nothing either
    const int qUpdates = q->updates, coveredUpdates = covered->updates;
    bool closedRan = false;
    for (int i = 0; i < 20 && g_guiManager.QueuedCommands(); ++i) {
        const bool closed = p->state == GUI_STATE_CLOSED;
        const int before = p->updates;
        Frame();
        closedRan = closedRan || (closed && p->updates != before);
    }
    EXPECT_EQ("b", CurrentWindowName());
    EXPECT_EQ(qUpdates, q->updates) << "a child group of a closing screen still ran";
    EXPECT_EQ(coveredUpdates, covered->updates) << "a window left with its screen still ran";
    EXPECT_FALSE(closedRan) << "a closed control was updated while its screen waited";
    EXPECT_EQ("close:a", g_log.Joined()) << "nothing but the screen's own close ran";
    EXPECT_EQ(0.0f, t->timeLeft) << "the dropped timer stays stopped";

    // Open again, the screen and its groups take states as before.
    ASSERT_TRUE(g_guiManager.OpenScreen("a"));
    Settle();
    for (int i = 0; i < 10 && p->state != GUI_STATE_IDLE; ++i) Frame();
    p->SetState(GUI_STATE_INACTIVE);
    q->SetState(GUI_STATE_HOVER);
    EXPECT_EQ(GUI_STATE_INACTIVE, p->state);
    EXPECT_EQ(GUI_STATE_HOVER, q->state);
}

// A container that keeps its first state is put back to it by every drop:
// what its controls (and their child groups' controls) were shown, hidden,
// moved or turned to is gone when it opens again.
TEST_F(GuiManagerTest, AScreenThatKeepsItsFirstStateOpensAsItWasFirst) {
    ASSERT_TRUE(Load("<gui start_screen='a'>"
                     "<group name='g'><probe name='q' pos='0.1,0.2,3'/></group>"
                     "<screen name='a'><probe name='p' pos='1,2,3'/><probe name='holder' group='g'/>"
                     "<probe name='later'/></screen><screen name='b'/></gui>",
                     ProbeFactory));
    GuiScreen* a = g_guiManager.FindScreen("a");
    Probe* p = P("a.p");
    Probe* q = P("g.q");
    Probe* later = P("a.later");
    later->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);  // as the game leaves it before any open
    a->KeepFirstState();
    Settle();
    p->SetFlags(GUI_FLAG_HIDDEN | GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    P("a.holder")->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);  // and its child group's style words
    later->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    p->SetPosition(0.5f, 0.5f, 3.0f);
    q->rotation = Rotation{40.0f, {0.0f, 0.0f, 1.0f}};
    ASSERT_TRUE(g_guiManager.OpenScreen("b"));
    Settle();
    EXPECT_EQ(0u, p->Flags() & ~(unsigned)GUI_FLAG_OPEN);
    EXPECT_EQ(0u, q->Flags());
    EXPECT_TRUE(later->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_EQ(1.0f, p->position.x);
    EXPECT_EQ(2.0f, p->position.y);
    EXPECT_EQ(0.0f, q->rotation.angle);
    ASSERT_TRUE(g_guiManager.OpenScreen("a"));
    Settle();
    EXPECT_TRUE(p->IsOpen());
    EXPECT_FALSE(p->HasFlags(GUI_FLAG_HIDDEN));
}

TEST_F(GuiManagerTest, WindowsPushPopAndChange) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    GuiScreen* a = g_guiManager.FindScreen("a");
    GuiWindow* w1 = g_guiManager.FindWindow("w1");
    GuiWindow* w2 = g_guiManager.FindWindow("w2");
    g_log.Clear();

    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    Settle();
    EXPECT_EQ("w2", CurrentWindowName());
    EXPECT_EQ(w1, a->windowAbove);
    EXPECT_EQ(w2, w1->windowAbove);
    EXPECT_EQ(a, w1->windowBelow);
    EXPECT_EQ(w1, w2->windowBelow);
    EXPECT_TRUE(P("a.p")->IsOpen());

    ASSERT_TRUE(g_guiManager.ChangeWindow("w3"));
    EXPECT_EQ(3u, g_guiManager.QueuedCommands());
    Settle();
    EXPECT_EQ("w3", CurrentWindowName());
    EXPECT_EQ(nullptr, w2->windowBelow);
    EXPECT_EQ(nullptr, w2->windowAbove);
    EXPECT_FALSE(P("w2.p")->IsOpen());
    EXPECT_EQ(2, StackDepth());

    ASSERT_TRUE(g_guiManager.CloseWindow());
    ASSERT_TRUE(g_guiManager.CloseWindow());
    Settle();
    EXPECT_EQ("a", CurrentWindowName());
    EXPECT_EQ(nullptr, a->windowAbove);
    EXPECT_EQ("open:w1 open:w2 close:w2 open:w3 close:w3 close:w1", g_log.Joined());
}

// Two closes queued while one window is open: the second finds only the
// screen, which must stay open and current.
TEST_F(GuiManagerTest, SecondQueuedCloseLeavesTheScreenAlone) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    Settle();
    ASSERT_TRUE(g_guiManager.CloseWindow());
    ASSERT_TRUE(g_guiManager.CloseWindow());
    Settle();
    Frame(5);
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());
    EXPECT_EQ("a", CurrentWindowName());
    Probe* p = P("a.p");
    EXPECT_TRUE(p->IsOpen());
    EXPECT_EQ(GUI_STATE_IDLE, p->state);
    EXPECT_EQ(0, StackDepth());
}

// A close meant for one window, queued after a push in the same frame (a
// covered window's timer ending as another opens over it), leaves the pushed
// window open; an untargeted close takes whatever is on top.
TEST_F(GuiManagerTest, ACloseForOneWindowLeavesAWindowPushedOverIt) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    Settle();
    GuiWindow* w1 = g_guiManager.FindWindow("w1");
    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    ASSERT_TRUE(g_guiManager.CloseWindow(w1));
    Settle();
    Frame(5);
    EXPECT_EQ(0u, g_guiManager.QueuedCommands());
    EXPECT_EQ("w2", CurrentWindowName());
    EXPECT_EQ(2, StackDepth());
    ASSERT_TRUE(g_guiManager.CloseWindow(w1));  // not on top: nothing
    Settle();
    EXPECT_EQ("w2", CurrentWindowName());
    ASSERT_TRUE(g_guiManager.CloseWindow(g_guiManager.FindWindow("w2")));
    Settle();
    EXPECT_EQ("w1", CurrentWindowName());
    EXPECT_EQ("open:a open:w1 open:w2 close:w2", g_log.Joined());
}

// A window opened twice is pushed once; a self-linked stack would hang
// every later walk.
TEST_F(GuiManagerTest, WindowAlreadyOpenOrQueuedIsNotPushedAgain) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    GuiWindow* w1 = g_guiManager.FindWindow("w1");
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    Settle();
    EXPECT_EQ(nullptr, w1->windowAbove);
    EXPECT_EQ(1, StackDepth());

    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));  // open below the top
    Settle();
    EXPECT_EQ("w2", CurrentWindowName());
    EXPECT_EQ(2, StackDepth());

    ASSERT_TRUE(g_guiManager.CloseWindow());
    Settle();
    ASSERT_TRUE(g_guiManager.CloseWindow());
    Settle();
    EXPECT_EQ("a", CurrentWindowName());
    EXPECT_EQ(0, StackDepth());

    // Changing a window to itself closes and reopens it.
    ASSERT_TRUE(g_guiManager.OpenWindow("w1"));
    Settle();
    ASSERT_TRUE(g_guiManager.ChangeWindow("w1"));
    Settle();
    EXPECT_EQ("w1", CurrentWindowName());
    EXPECT_EQ(1, StackDepth());
}

TEST_F(GuiManagerTest, DroppedWindowsLoseTheirStackLinks) {
    ASSERT_TRUE(Load(kStack, ProbeFactory));
    Settle();
    GuiWindow* w1 = g_guiManager.FindWindow("w1");
    GuiWindow* w2 = g_guiManager.FindWindow("w2");
    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    ASSERT_TRUE(g_guiManager.OpenWindow("w3"));
    Settle();
    g_log.Clear();
    ASSERT_TRUE(g_guiManager.OpenScreen("c"));
    Settle();
    EXPECT_EQ("close:w2 close:w3 close:a", g_log.Joined());
    for (GuiWindow* w : {w2, g_guiManager.FindWindow("w3")}) {
        EXPECT_EQ(nullptr, w->windowAbove);
        EXPECT_EQ(nullptr, w->windowBelow);
    }
    // w2 alone over the new screen: the old w3 is not walked into.
    ASSERT_TRUE(g_guiManager.OpenWindow("w2"));
    Settle();
    EXPECT_EQ(1, StackDepth());
    int before = P("w3.p")->updates;
    Frame(3);
    EXPECT_EQ(before, P("w3.p")->updates);
    EXPECT_EQ(nullptr, w1->windowBelow);
}

TEST_F(GuiManagerTest, CallbacksMayQueueCommandsThatRunInTheSamePass) {
    g_guiManager.RegisterCallback("Open", [](void*, const char* a) { return g_guiManager.OpenWindow(a); });
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a' OnOpen='Open(w)'/><window name='w'/></gui>"));
    Frame();
    EXPECT_EQ("w", CurrentWindowName());
}

// ---- Draw list ----------------------------------------------------------------

TEST_F(GuiManagerTest, DrawListIsOrderedByDepthThenOpeningOrder) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><probe name='p1' pos='0,0,1'/>"
                     "<probe name='p2' pos='0,0,0.5'/><probe name='p3' pos='0,0,1'/><probe name='p4' pos='0,0,0.5'/>"
                     "<probe name='hidden' pos='0,0,0'/></screen>"
                     "<window name='w' pos='0,0,0.75'><probe name='q' pos='0,0,0'/></window></gui>",
                     ProbeFactory));
    Control("a.hidden")->SetFlags(GUI_FLAG_NOT_LISTED, GUI_FLAGS_STYLE);
    Frame();
    g_guiManager.OpenWindow("w");
    Frame();
    GuiControl* order[8] = {};
    ASSERT_EQ(5, g_guiManager.DrawOrder(order, 8));
    const char* expected[] = {"p2", "p4", "q", "p1", "p3"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(expected[i], order[i]->name) << i;

    // Drawn head to tail, skipping the bits of the draw mask.
    Control("a.p1")->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    int d1 = P("a.p1")->draws, d3 = P("a.p3")->draws;
    Frame();
    EXPECT_EQ(d1, P("a.p1")->draws);
    EXPECT_EQ(d3 + 1, P("a.p3")->draws);
    EXPECT_EQ(0, P("a.hidden")->draws);
}

// A kind drawn through the text helper without a text block still
// finishes its opening and closing.
TEST_F(GuiManagerTest, ControlWithoutTextStillFinishesOpeningAndClosing) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'><probe name='p' model='m' texture='t'/></screen>"
                     "<screen name='b'/></gui>",
                     ProbeFactory));
    Frame();
    Probe* p = P("a.p");
    ASSERT_NE(nullptr, p->body->clip);
    ModelInstance plain("m", "body", "t");
    plain.PlayAnimation("open", PLAY_ONCE, 0.0f);
    for (int i = 0; i < 6; ++i) {
        plain.DrawWithText(nullptr, nullptr, nullptr);  // the engine alone never advances
        Frame();
    }
    EXPECT_FALSE(plain.finished);
    EXPECT_EQ(GUI_STATE_IDLE, p->state);
    g_guiManager.OpenScreen("b");
    Settle(10);
    EXPECT_EQ("b", CurrentWindowName());
}

// ---- Mouse routing ------------------------------------------------------------

const char* kMouse =
    "<gui start_screen='a'><screen name='a'>"
    "<probe name='first' pos='0,0,1' model='bare' texture='t'/>"
    "<probe name='second' pos='0,0,0' model='bare' texture='t'/>"
    "<probe name='apart' pos='1,0,0' model='bare' texture='t'/>"
    "</screen>"
    "<window name='over' check_screen=''><probe name='p' pos='-1,0,0' model='bare' texture='t'/></window>"
    "<window name='modal'><probe name='p' pos='-1,0,0' model='bare' texture='t'/></window>"
    "</gui>";

TEST_F(GuiManagerTest, FirstDeclaredControlGetsTheMouseAndHoverIsTracked) {
    ASSERT_TRUE(Load(kMouse, ProbeFactory));
    Frame(2);
    Probe* first = P("a.first");
    Probe* second = P("a.second");
    ASSERT_EQ(GUI_STATE_IDLE, first->state);
    MouseAt(0.0f, 0.0f);
    int updates = first->updates;
    Frame(3);
    EXPECT_EQ(1, first->enters);
    EXPECT_EQ(3, first->overs);
    EXPECT_EQ(updates, first->updates);  // a hovered control is not updated
    EXPECT_EQ(0, second->overs);
    EXPECT_EQ(first, g_guiManager.GetCurrentScreen()->hovered);

    MouseAt(1.0f, 0.0f);
    Frame();
    EXPECT_EQ(1, first->leaves);
    EXPECT_EQ(1, P("a.apart")->enters);
    EXPECT_EQ(updates + 1, first->updates);

    // Disabled, hidden and excluded controls are not hit.
    for (unsigned bit : {GUI_FLAG_DISABLED, GUI_FLAG_HIDDEN, GUI_FLAG_EXCLUDED}) {
        P("a.apart")->SetFlags(bit, GUI_FLAGS_STYLE);
        Frame();
        EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen()->hovered) << bit;
        P("a.apart")->ClearFlags(bit, GUI_FLAGS_STYLE);
        Frame();
    }
}

TEST_F(GuiManagerTest, CaptureStartsNextFrameAndEndsWithMouseLeave) {
    ASSERT_TRUE(Load(kMouse, ProbeFactory));
    Frame(2);
    Probe* p = P("a.first");
    p->grab = true;
    MouseAt(0.0f, 0.0f);
    int updates = p->updates;
    Frame();
    EXPECT_EQ(p, g_guiManager.GetActiveControl());
    EXPECT_EQ(1, p->takes);
    EXPECT_EQ(0, p->captured);
    EXPECT_EQ(nullptr, g_guiManager.GetCurrentScreen()->hovered);
    Frame(2);
    EXPECT_EQ(2, p->captured);
    EXPECT_EQ(1, p->overs);      // the active control is not routed again
    EXPECT_EQ(updates, p->updates);  // nor updated
    p->keepCapture = false;
    Frame();
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    EXPECT_EQ(1, p->leaves);

    // SetActiveControl hands the capture over.
    Probe* other = P("a.apart");
    g_guiManager.SetActiveControl(other);
    EXPECT_EQ(1, other->takes);
    g_guiManager.SetActiveControl(p);
    EXPECT_EQ(1, other->leaves);
    g_guiManager.SetActiveControl(nullptr);
    EXPECT_EQ(2, p->leaves);
}

TEST_F(GuiManagerTest, OnlyACheckScreenWindowLetsTheScreenKeepTheMouse) {
    ASSERT_TRUE(Load(kMouse, ProbeFactory));
    Frame(2);
    g_guiManager.OpenWindow("over");
    Frame(2);
    MouseAt(1.0f, 0.0f);
    Frame();
    EXPECT_EQ(1, P("a.apart")->overs);
    MouseAt(-1.0f, 0.0f);
    Frame();
    EXPECT_EQ(1, P("over.p")->overs);

    g_guiManager.ChangeWindow("modal");
    Settle();
    Frame();
    EXPECT_EQ(1, P("modal.p")->overs);
    MouseAt(1.0f, 0.0f);
    int overs = P("a.apart")->overs;
    Frame(2);
    EXPECT_EQ(overs, P("a.apart")->overs);
}

}  // namespace
