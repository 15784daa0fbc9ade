// The game's small control kinds: "picture", "clone", "trophy", "fade",
// "bkwheel", "gui_letter", "power_meter" and "sound_trigger", made by the
// game's control factory and driven by hand without a device.
#include "gui_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "board.h"
#include "control_factory.h"
#include "controls_game.h"
#include "gui_group.h"
#include "input_state.h"
#include "round_controller.h"
#include "sound_system.h"

namespace {

std::vector<std::string> g_fired;

bool Fire(void*, const char* arg) {
    g_fired.push_back(arg ? arg : "");
    return true;
}

GuiHandlerList* List(const char* arg) {
    GuiHandlerList* l = new GuiHandlerList();
    l->Add(Fire, arg);
    return l;
}

class CueOps : public GameScreenOps {
public:
    SoundInstance* PlayCue(const char* cue, int, bool) override {
        cues.push_back(cue);
        return nullptr;
    }
    void StopAllSounds() override {}
    std::vector<std::string> cues;
};

class DrawCount : public GuiControl {
public:
    void Draw() override { ++draws; }
    int draws = 0;
};

class Kinds : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_fired.clear();
        g_round.SetOps(&ops);
        g_round.paused = 0;
        g_round.state = STATE_SPIN;
        solveLocked = 0;
        g_guiManager.RegisterCallback("Fire", Fire);
    }
    void TearDown() override {
        g_round.SetOps(nullptr);
        solveLocked = 0;
        g_renderer.SetCullMode(kCullClockwise);
        GuiTest::TearDown();
    }
    void FrameTime(float t) {
        g_renderer.frameTime = t;
        g_renderer.defaultFrameTime = t;
    }
    CueOps ops;
};

// Notes the renderer's cull mode at each draw.
class CullProbe : public GuiControl {
public:
    void Draw() override { modes.push_back(g_renderer.GetCullMode()); }
    std::vector<int> modes;
};

}  // namespace

// ---- Factory ------------------------------------------------------------------------------

TEST(GameKindFactory, MakesEveryKind) {
    GuiControl* c;
    c = CreateGuiControl("picture"); EXPECT_NE(nullptr, dynamic_cast<PictureControl*>(c)); delete c;
    c = CreateGuiControl("clone"); EXPECT_NE(nullptr, dynamic_cast<CloneControl*>(c)); delete c;
    c = CreateGuiControl("trophy"); EXPECT_NE(nullptr, dynamic_cast<TrophyControl*>(c)); delete c;
    c = CreateGuiControl("fade"); EXPECT_NE(nullptr, dynamic_cast<FadeControl*>(c)); delete c;
    c = CreateGuiControl("bkwheel"); EXPECT_NE(nullptr, dynamic_cast<BkWheelControl*>(c)); delete c;
    c = CreateGuiControl("gui_letter"); EXPECT_NE(nullptr, dynamic_cast<GuiLetterControl*>(c)); delete c;
    c = CreateGuiControl("power_meter");
    EXPECT_NE(nullptr, dynamic_cast<PowerMeterControl*>(c));
    EXPECT_NE(nullptr, dynamic_cast<StaticControl*>(c));
    delete c;
    c = CreateGuiControl("sound_trigger"); EXPECT_NE(nullptr, dynamic_cast<SoundTriggerControl*>(c)); delete c;
    EXPECT_EQ(nullptr, CreateGameKindControl(nullptr));
    EXPECT_EQ(nullptr, CreateGameKindControl("static"));
    c = CreateGuiControl("static");
    EXPECT_NE(nullptr, c);
    delete c;
}

// ---- Loading ------------------------------------------------------------------------------

TEST_F(Kinds, AttributesLoadFromTheDocument) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<picture name='p' model='m' texture='t' spacing='2' horizontal='0' OnPress='Fire(p)'/>"
                     "<trophy name='t' model='m' texture='t' dist='1,2.5' OnSelect='Fire(s)'/>"
                     "<fade name='f' start='0.2' end='0.8' time='0.5' trigger='close' OnEnd='Fire(e)'/>"
                     "<bkwheel name='b' model='m' texture='t' rot_speed='30'/>"
                     "<gui_letter name='l' model='m' texture='t' letter='e' OnPress='Fire(l)'/>"
                     "<clone name='c' source='a.p' back_faces='true'/>"
                     "<sound_trigger name='s' OnEnd='Fire(x)'/>"
                     "<picture name='p0' model='m' texture='t'/><trophy name='t0'/><fade name='f0'/>"
                     "<bkwheel name='b0' model='m' texture='t'/>"
                     "</screen></gui>",
                     CreateGuiControl))
        << Error();
    PictureControl* p = dynamic_cast<PictureControl*>(Control("a.p"));
    ASSERT_NE(nullptr, p);
    EXPECT_FLOAT_EQ(2.0f, p->spacing);
    EXPECT_EQ(0, p->horizontal);
    EXPECT_NE(nullptr, p->onPress);
    TrophyControl* t = dynamic_cast<TrophyControl*>(Control("a.t"));
    ASSERT_NE(nullptr, t);
    EXPECT_FLOAT_EQ(1.0f, t->dist.x);
    EXPECT_FLOAT_EQ(2.5f, t->dist.y);
    EXPECT_FLOAT_EQ(0.0f, t->dist.z);
    FadeControl* f = dynamic_cast<FadeControl*>(Control("a.f"));
    ASSERT_NE(nullptr, f);
    EXPECT_FLOAT_EQ(0.2f, f->startAlpha);
    EXPECT_FLOAT_EQ(0.8f, f->endAlpha);
    EXPECT_FLOAT_EQ(0.5f, f->time);
    EXPECT_EQ(FADE_ON_CLOSE, f->trigger);
    BkWheelControl* b = dynamic_cast<BkWheelControl*>(Control("a.b"));
    ASSERT_NE(nullptr, b);
    EXPECT_FLOAT_EQ(30.0f, b->rotSpeed);
    GuiLetterControl* l = dynamic_cast<GuiLetterControl*>(Control("a.l"));
    ASSERT_NE(nullptr, l);
    EXPECT_EQ('E', l->letter);
    CloneControl* c = dynamic_cast<CloneControl*>(Control("a.c"));
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(p, c->source);
    EXPECT_EQ(1, c->backFaces);

    // Without their attributes the kinds keep their defaults.
    PictureControl* p0 = dynamic_cast<PictureControl*>(Control("a.p0"));
    ASSERT_NE(nullptr, p0);
    EXPECT_EQ(1, p0->horizontal);
    EXPECT_EQ(1, p0->vertical);
    EXPECT_FLOAT_EQ(1.0f, p0->spacing);
    EXPECT_EQ(0, p0->mode);
    TrophyControl* t0 = dynamic_cast<TrophyControl*>(Control("a.t0"));
    ASSERT_NE(nullptr, t0);
    EXPECT_EQ(1, t0->mode);
    EXPECT_FLOAT_EQ(0.0f, t0->dist.x);
    FadeControl* f0 = dynamic_cast<FadeControl*>(Control("a.f0"));
    ASSERT_NE(nullptr, f0);
    EXPECT_FLOAT_EQ(1.0f, f0->progress);
    EXPECT_FLOAT_EQ(0.0f, f0->startAlpha);
    EXPECT_FLOAT_EQ(1.0f, f0->endAlpha);
    EXPECT_FLOAT_EQ(1.0f, f0->time);
    EXPECT_EQ(FADE_ON_OPEN, f0->trigger);
    BkWheelControl* b0 = dynamic_cast<BkWheelControl*>(Control("a.b0"));
    ASSERT_NE(nullptr, b0);
    EXPECT_FLOAT_EQ(0.0f, b0->rotSpeed);
    SoundTriggerControl* s = dynamic_cast<SoundTriggerControl*>(Control("a.s"));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(nullptr, s->watched) << "nothing to watch until given";
}

// ---- "fade" -------------------------------------------------------------------------------

TEST_F(Kinds, FadeOfHalfASecondEndsOnTheFirstFrameBelowZero) {
    FrameTime(0.125f);
    FadeControl f;
    f.time = 0.5f;
    f.onEnd = List("end");
    f.BuildVisuals();
    f.SetState(GUI_STATE_OPENING);
    ASSERT_EQ(GUI_STATE_OPENING, f.state);
    for (int i = 0; i < 4; ++i) f.Draw();
    EXPECT_FLOAT_EQ(0.0f, f.progress);  // exactly 0: not yet the end
    EXPECT_TRUE(g_fired.empty());
    EXPECT_EQ(GUI_STATE_OPENING, f.state);
    f.Draw();
    EXPECT_EQ(std::vector<std::string>{"end"}, g_fired);
    EXPECT_EQ(GUI_STATE_IDLE, f.state);
    f.Draw();  // no longer fading
    EXPECT_EQ(1u, g_fired.size());
}

TEST_F(Kinds, FadeStatesFollowTheTrigger) {
    FadeControl open;
    open.SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(GUI_STATE_CLOSED, open.state);
    FadeControl close;
    close.trigger = FADE_ON_CLOSE;
    close.SetState(GUI_STATE_OPENING);
    EXPECT_EQ(GUI_STATE_IDLE, close.state);
    close.SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(GUI_STATE_CLOSING, close.state);
    close.onEnd = List("c");
    FrameTime(0.5f);
    close.Draw();
    close.Draw();
    close.Draw();
    EXPECT_EQ(GUI_STATE_CLOSED, close.state);
    EXPECT_EQ(1u, g_fired.size());
}

TEST_F(Kinds, FadeOfNoTimeEndsAtOnceWithoutDividingByZero) {
    FadeControl f;
    f.time = 0.0f;
    f.onEnd = List("end");
    f.SetState(GUI_STATE_OPENING);
    f.Draw();
    EXPECT_EQ(GUI_STATE_IDLE, f.state);
    EXPECT_EQ(1u, g_fired.size());
    EXPECT_FALSE(std::isnan(f.progress));
}

// ---- "gui_letter" -------------------------------------------------------------------------

TEST_F(Kinds, LetterFiresOnTypedLetterInEitherCase) {
    GuiLetterControl l;
    l.letter = 'E';
    l.onPress = List("E");
    l.stateFlags |= GUI_FLAG_OPEN;
    l.SetState(GUI_STATE_IDLE);
    g_input.Set(INPUT_CHAR, 'e');
    l.Update();
    EXPECT_EQ(1u, g_fired.size());
    g_input.Set(INPUT_CHAR, 'x');
    l.Update();
    EXPECT_EQ(1u, g_fired.size());
}

TEST_F(Kinds, LetterIgnoresTypingWhenPausedLockedOrInBlockedStates) {
    GuiLetterControl l;
    l.letter = 'A';
    l.onPress = List("A");
    l.stateFlags |= GUI_FLAG_OPEN;
    l.SetState(GUI_STATE_IDLE);
    g_input.Set(INPUT_CHAR, 'A');
    g_round.paused = 1;
    l.Update();
    g_round.paused = 0;
    solveLocked = 1;
    l.Update();
    EXPECT_TRUE(l.MouseOver());
    solveLocked = 0;
    for (int s : {STATE_END_OF_MATCH, STATE_REVEAL_BONUS_LETTER, STATE_END_OF_TURN}) {
        g_round.state = s;
        l.Update();
    }
    EXPECT_TRUE(g_fired.empty());
}

// A window over the match (a question answered with Y or N) takes the
// typing: the key below it calls nothing.
TEST_F(Kinds, LetterUnderAWindowIgnoresTyping) {
    GuiLetterControl l;
    GuiGroup screenBelow;
    l.letter = 'N';
    l.onPress = List("N");
    l.owner = &screenBelow;  // not the top of the window stack
    l.stateFlags |= GUI_FLAG_OPEN;
    l.SetState(GUI_STATE_IDLE);
    g_input.Set(INPUT_CHAR, 'n');
    l.Update();
    EXPECT_TRUE(g_fired.empty());
    g_input.Set(INPUT_CHAR, 0);
}

TEST_F(Kinds, ChosenLetterIgnoresMouseAndKeyboard) {
    GuiLetterControl l;
    l.letter = 'B';
    l.onPress = List("B");
    l.stateFlags |= GUI_FLAG_OPEN;
    l.SetState(LETTER_CHOSEN);
    EXPECT_TRUE(l.HasFlags(GUI_FLAG_DISABLED));
    g_input.Set(INPUT_CHAR, 'B');
    l.Update();
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    EXPECT_TRUE(l.MouseOver());
    EXPECT_TRUE(g_fired.empty());
    l.SetState(GUI_STATE_IDLE);
    EXPECT_FALSE(l.HasFlags(GUI_FLAG_DISABLED));
    g_input.Set(INPUT_CHAR, 0);  // the click alone
    EXPECT_TRUE(l.MouseOver());
    EXPECT_EQ(1u, g_fired.size());
    EXPECT_EQ(KEY_HELD, g_input.Get(INPUT_MOUSE_LEFT));  // the click is consumed
}

TEST_F(Kinds, LetterKeepsItsStateUntilOpened) {
    GuiLetterControl l;
    l.SetState(LETTER_INACTIVE);
    EXPECT_EQ(LETTER_INACTIVE, l.pendingState);
    EXPECT_EQ(0, l.state);
    l.stateFlags |= GUI_FLAG_OPEN;
    l.SetState(GUI_STATE_OPENING);
    EXPECT_EQ(LETTER_INACTIVE, l.state);
    l.pendingState = GUI_STATE_OPENING;
    l.SetState(GUI_STATE_OPENING);  // does not call itself without end
    EXPECT_EQ(GUI_STATE_IDLE, l.state);
}

TEST_F(Kinds, LetterHoverCuesVowelOrConsonant) {
    GuiLetterControl l;
    l.stateFlags |= GUI_FLAG_OPEN;
    l.letter = 'O';
    l.MouseEnter();
    EXPECT_EQ(LETTER_HOVER, l.state);
    l.MouseLeave();
    EXPECT_EQ(GUI_STATE_IDLE, l.state);
    l.letter = 'T';
    l.MouseEnter();
    ASSERT_EQ(2u, ops.cues.size());
    EXPECT_EQ("GAME_VWL_LET_ON", ops.cues[0]);
    EXPECT_EQ("GAME_CONS_LET_ON", ops.cues[1]);
}

TEST_F(Kinds, LetterWithoutLetterMatchesNoTyping) {
    GuiLetterControl l;
    l.onPress = List("x");
    l.stateFlags |= GUI_FLAG_OPEN;
    g_input.Set(INPUT_CHAR, 0);
    l.Update();
    EXPECT_TRUE(g_fired.empty());
}

// ---- "clone" ------------------------------------------------------------------------------

TEST_F(Kinds, CloneDrawsItsSourceAndNothingWhenTheSourceIsHidden) {
    DrawCount src;
    CloneControl c;
    c.source = &src;
    c.scale = 1.0f;
    c.Draw();
    EXPECT_EQ(1, src.draws);
    src.styleFlags |= GUI_FLAG_HIDDEN;
    c.Draw();
    EXPECT_EQ(1, src.draws);
    src.styleFlags = 0;
    src.stateFlags |= GUI_FLAG_NOT_LISTED;
    c.Draw();
    EXPECT_EQ(1, src.draws);
}

TEST_F(Kinds, CloneWithoutSourceOrOfItselfDrawsNothing) {
    CloneControl c;
    c.Draw();
    c.source = &c;
    c.Draw();  // would recurse without end
    CloneControl a, b;
    a.source = &b;
    b.source = &a;
    a.Draw();  // a cycle of clones ends
    SUCCEED();
}

TEST_F(Kinds, CloneWithBackFacesCullsTheOtherWayWhileItDraws) {
    CullProbe src;
    CloneControl c;
    c.source = &src;
    c.Draw();
    c.backFaces = 1;
    c.Draw();
    EXPECT_EQ((std::vector<int>{kCullClockwise, kCullCounterClockwise}), src.modes);
    EXPECT_EQ(kCullClockwise, g_renderer.GetCullMode()) << "restored after the draw";
}

// ---- "picture" and "trophy" ---------------------------------------------------------------

TEST_F(Kinds, PictureHoverAndPress) {
    PictureControl p;
    p.onPress = List("press");
    p.onHoverStart = List("on");
    p.onHoverEnd = List("off");
    p.MouseEnter();
    EXPECT_EQ(4, p.state);
    p.MouseLeave();
    EXPECT_EQ(GUI_STATE_IDLE, p.state);
    EXPECT_TRUE(p.MouseOver());
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    EXPECT_TRUE(p.MouseOver());
    EXPECT_EQ((std::vector<std::string>{"on", "off", "press"}), g_fired);
    p.state = GUI_STATE_CLOSING;
    p.MouseEnter();
    EXPECT_EQ(GUI_STATE_CLOSING, p.state);
    p.SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(GUI_STATE_CLOSED, p.state);
}

TEST_F(Kinds, PictureModeRestartsTheIdleWhenOpen) {
    PictureControl p;
    p.modelName = nullptr;
    p.state = 4;
    p.SetMode(2);
    EXPECT_EQ(2, p.mode);
    EXPECT_EQ(4, p.state);  // closed: stored only
    p.stateFlags |= GUI_FLAG_OPEN;
    p.SetMode(1);
    EXPECT_EQ(GUI_STATE_IDLE, p.state);
}

TEST_F(Kinds, TrophySelectAndIdle) {
    TrophyControl t;
    t.onSelect = List("sel");
    t.onIdle = List("idle");
    t.MouseEnter();
    t.state = 4;
    t.MouseLeave();
    EXPECT_EQ(GUI_STATE_IDLE, t.state);
    EXPECT_EQ((std::vector<std::string>{"sel", "idle"}), g_fired);
    EXPECT_TRUE(t.MouseOver());
    EXPECT_TRUE(t.CapturedInput());
    t.Draw();  // no model: nothing drawn
    // Its window closes under the pointer: the trophy closes at once, and
    // the hover that its window then takes away leaves it closed.
    t.SetState(GUI_STATE_CLOSING);
    t.MouseLeave();
    EXPECT_EQ(GUI_STATE_CLOSED, t.state);
    EXPECT_EQ("idle", g_fired.back());
}

// ---- "bkwheel" ----------------------------------------------------------------------------

TEST_F(Kinds, BackgroundWheelTurnsOnlyWhenIdle) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<bkwheel name='b' model='m' texture='t' scale='1' rot_speed='50'/>"
                     "</screen></gui>",
                     CreateGuiControl))
        << Error();
    Frame(2);
    BkWheelControl* b = dynamic_cast<BkWheelControl*>(Control("a.b"));
    ASSERT_NE(nullptr, b);
    ASSERT_NE(nullptr, b->body);
    FrameTime(0.1f);
    b->body->rotation = Rotation{0.0f, {0.0f, 0.0f, 1.0f}};
    b->state = GUI_STATE_IDLE;
    b->Update();
    EXPECT_NEAR(5.0f, std::fabs(b->body->rotation.angle), 1e-3f);
    b->state = 4;
    b->Update();
    EXPECT_NEAR(5.0f, std::fabs(b->body->rotation.angle), 1e-3f);
}

// ---- "power_meter" ------------------------------------------------------------------------

TEST_F(Kinds, PowerMeterCuesAsTheNeedleCrossesTheMiddle) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<power_meter name='g' model='m' texture='t' scale='1'/>"
                     "</screen></gui>",
                     CreateGuiControl))
        << Error();
    Frame(6);
    PowerMeterControl* g = dynamic_cast<PowerMeterControl*>(Control("a.g"));
    ASSERT_NE(nullptr, g);
    ASSERT_NE(nullptr, g->body);
    ASSERT_NE(nullptr, g->body->clip);
    ASSERT_EQ(3u, g->body->clip->frameCount);
    ops.cues.clear();
    g->state = GUI_STATE_IDLE;
    g->body->frame = 0;
    g->Update();
    EXPECT_EQ(4, g->state);
    g->body->frame = 2;
    g->Update();
    EXPECT_EQ(5, g->state);
    g->body->frame = 0;
    g->Update();
    EXPECT_EQ(4, g->state);
    EXPECT_EQ((std::vector<std::string>{"GAME_PWR_MTR_DOWN", "GAME_PWR_MTR_UP"}), ops.cues);
}

TEST_F(Kinds, PowerMeterWithoutFramesDoesNotDivideByZero) {
    PowerMeterControl g;
    g.Update();  // no body
    EXPECT_EQ(GUI_STATE_IDLE, g.state);
    EXPECT_TRUE(ops.cues.empty());
}

// ---- "sound_trigger" ----------------------------------------------------------------------

TEST_F(Kinds, SoundTriggerWaitsForAnInstanceAndFiresOnceWhenItEnds) {
    SoundTriggerControl s;
    s.onEnd = List("end");
    s.Update();
    EXPECT_TRUE(g_fired.empty());
    // An address the sound system does not hold: ended, and never read.
    SoundInstance* gone = reinterpret_cast<SoundInstance*>(&s);
    s.Watch(gone);
    s.Update();
    EXPECT_EQ(1u, g_fired.size());
    EXPECT_EQ(nullptr, s.watched);
    s.Update();
    EXPECT_EQ(1u, g_fired.size());
}

TEST_F(Kinds, InactivePictureHoversWithItsOwnClipWhenTheModelHasIt) {
    SeedModel("hi", "body", 0.1f, {{"idle", 3}, {"active", 3}, {"inactive", 3}, {"hover", 3}, {"hover_inactive", 3}});
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<picture name='p' model='hi' texture='t' scale='1'/>"
                     "<picture name='q' model='m' texture='t' scale='1'/>"
                     "</screen></gui>",
                     CreateGuiControl))
        << Error();
    Frame(2);
    PictureControl* p = dynamic_cast<PictureControl*>(Control("a.p"));
    PictureControl* q = dynamic_cast<PictureControl*>(Control("a.q"));
    ASSERT_NE(nullptr, p);
    ASSERT_NE(nullptr, q);
    ASSERT_NE(nullptr, p->body);
    p->SetMode(2);
    ASSERT_NE(nullptr, p->body->clip);
    EXPECT_STREQ("inactive", p->body->clip->name);
    p->SetState(4);
    EXPECT_STREQ("hover_inactive", p->body->clip->name);
    p->SetMode(0);
    p->SetState(4);
    EXPECT_STREQ("hover", p->body->clip->name);
    q->SetMode(2);
    q->SetState(4);  // no such clip in "m": the plain hover
    ASSERT_NE(nullptr, q->body->clip);
    EXPECT_STREQ("hover", q->body->clip->name);
}
