// The prize wheel (control kind "newspin"): loading, the spin's physics with
// the capped frame time, notch clicks, "OnEnd", pausing, the pointer
// flappers, and the guards against frame times and speeds that would stall
// or reverse the wheel.
#include <cmath>
#include <string>

#include "control_factory.h"
#include "control_wheel.h"
#include "gui_test_util.h"
#include "round_controller.h"

namespace {

CallLog g_log;

bool Rec(void* s, const char* a) {
    GuiControl* c = static_cast<GuiControl*>(s);
    g_log.Add(std::string(c && c->name ? c->name : "null") + ":" + (a ? a : "null"));
    return true;
}

class WheelControl : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_log.Clear();
        g_round.paused = 0;
        g_round.controls.powerMeter = nullptr;
        g_guiManager.RegisterCallback("Rec", Rec);
    }
    void TearDown() override {
        g_round.paused = 0;
        g_round.controls.powerMeter = nullptr;
        GuiTest::TearDown();
    }
    // Loads a screen "a" holding the wheel element given and opens it.
    NewSpinControl* OpenWheel(const std::string& attributes, const std::string& extra = "",
                              const std::string& inScreen = "") {
        std::string xml = "<gui start_screen='a'>" + extra + "<screen name='a'><newspin name='w' model='m' texture='t' " +
                          attributes + "/><static name='gauge' model='m' texture='t'/>" + inScreen + "</screen></gui>";
        EXPECT_TRUE(Load(xml, CreateGuiControl)) << Error();
        NewSpinControl* w = dynamic_cast<NewSpinControl*>(Control("a.w"));
        EXPECT_NE(nullptr, w);
        Frame(6);  // opens the start screen
        EXPECT_TRUE(w && w->body);
        return w;
    }
    // Frame time of one step; the cap is 0.02 s.
    void FrameTime(float t) {
        g_renderer.frameTime = t;
        g_renderer.defaultFrameTime = 0.02f;
    }
    int CountClicks(NewSpinControl* w, int frames) {
        int clicks = 0;
        for (int i = 0; i < frames; ++i) {
            float before = w->nextClick;
            w->Rotate();
            if (w->nextClick != before) ++clicks;
        }
        return clicks;
    }
};

const float kEps = 1e-3f;

// ---- Factory and loading --------------------------------------------------------

TEST_F(WheelControl, FactoryMakesTheWheelAndKeepsTheGenericKinds) {
    GuiControl* c = CreateGuiControl("newspin");
    EXPECT_NE(nullptr, dynamic_cast<NewSpinControl*>(c));
    delete c;
    GuiControl* s = CreateGuiControl("static");
    EXPECT_NE(nullptr, s);
    EXPECT_EQ(nullptr, dynamic_cast<NewSpinControl*>(s));
    delete s;
    EXPECT_EQ(nullptr, CreateGuiControl(nullptr));
}

TEST_F(WheelControl, LoadsItsAttributes) {
    NewSpinControl* w = OpenWheel("min_degree='12.5' arrows='flaps' rod_snd='TRUE' speed='0.5' accel='-0.25' "
                                  "speed_accel='0.1' OnEnd='Rec(end)' OnPress='Rec(press)'",
                                  "<group name='flaps'><static name='f0'/></group>");
    ASSERT_NE(nullptr, w);
    EXPECT_FLOAT_EQ(12.5f, w->minDegree);
    EXPECT_EQ(g_guiManager.FindGroup("flaps"), w->arrows);
    EXPECT_EQ(1, w->rodSound);
    EXPECT_FLOAT_EQ(0.5f, w->speedFactor);
    EXPECT_FLOAT_EQ(-0.25f, w->accelFactor);
    EXPECT_FLOAT_EQ(0.1f, w->speedAccelFactor);
    ASSERT_NE(nullptr, w->onEnd);
    ASSERT_NE(nullptr, w->onPress);
    EXPECT_EQ(1u, w->onEnd->Count());
}

TEST_F(WheelControl, RodSoundIsCaseSensitiveAndUnknownArrowsAreIgnored) {
    NewSpinControl* w = OpenWheel("rod_snd='true' arrows='nowhere' speed=''");
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(0, w->rodSound);
    EXPECT_EQ(nullptr, w->arrows);
    EXPECT_EQ(0.0f, w->speedFactor);
    // Everything else a wheel without its attributes starts with: at rest,
    // unturned about z, no end, no handlers.
    EXPECT_EQ(0.0f, w->rotation.angle);
    EXPECT_EQ(1.0f, w->rotation.axis.z);
    EXPECT_EQ(0.0f, w->velocity);
    EXPECT_EQ(0.0f, w->acceleration);
    EXPECT_EQ(0.0f, w->jerk);
    EXPECT_FALSE(w->IsSpinning());
    EXPECT_EQ(0, w->endFired);
    EXPECT_EQ(0.0f, w->minDegree);
    EXPECT_TRUE(!w->onPress || w->onPress->Count() == 0);
    EXPECT_TRUE(!w->onEnd || w->onEnd->Count() == 0);
}

// ---- Physics ----------------------------------------------------------------------

TEST_F(WheelControl, StartSpinSetsSpeedsFromTheDistance) {
    NewSpinControl* w = OpenWheel("speed='0.5' accel='-0.25' speed_accel='0.1'");
    w->StartSpin(360.0f);
    EXPECT_FLOAT_EQ(360.0f, w->remaining);
    EXPECT_FLOAT_EQ(180.0f, w->velocity);
    EXPECT_FLOAT_EQ(-45.0f, w->acceleration);
    EXPECT_FLOAT_EQ(-4.5f, w->jerk);
    // At angle 0 the next notch boundary is 2.4 degrees away.
    EXPECT_NEAR(357.6f, w->nextClick, kEps);
    EXPECT_EQ(0, w->endFired);
}

TEST_F(WheelControl, StepsDistanceVelocityAccelerationAndJerk) {
    NewSpinControl* w = OpenWheel("speed='0.5' accel='-0.25' speed_accel='0.1'");
    FrameTime(0.02f);
    w->StartSpin(360.0f);
    w->Rotate();
    // Each update uses the value from before this frame's change.
    EXPECT_NEAR(356.4f, w->remaining, kEps);       // step 0.02 x 180
    EXPECT_NEAR(179.1f, w->velocity, kEps);        // 180 + 0.02 x -45
    EXPECT_NEAR(-45.09f, w->acceleration, kEps);   // -45 + 0.02 x -4.5
    EXPECT_FLOAT_EQ(-4.5f, w->jerk);
    EXPECT_NEAR(-3.6f, w->SignedAngle(), kEps);    // turned by -step about z
    w->Rotate();
    EXPECT_NEAR(356.4f - 3.582f, w->remaining, kEps);
    EXPECT_NEAR(179.1f - 0.9018f, w->velocity, kEps);
    EXPECT_NEAR(-7.182f, w->SignedAngle(), kEps);
    // The body turns with the wheel.
    ASSERT_NE(nullptr, w->body);
    EXPECT_NEAR(-7.182f, w->body->rotation.axis.z * w->body->rotation.angle, kEps);
}

TEST_F(WheelControl, LongFrameAdvancesByOneCappedStep) {
    NewSpinControl* w = OpenWheel("speed='0.5'");
    FrameTime(5.0f);
    w->StartSpin(100.0f);  // 50 degrees a second
    w->Rotate();
    EXPECT_NEAR(99.0f, w->remaining, kEps);
    EXPECT_NEAR(-1.0f, w->SignedAngle(), kEps);
}

TEST_F(WheelControl, ZeroNegativeOrUndefinedFrameTimeMovesNothing) {
    NewSpinControl* w = OpenWheel("speed='0.5' accel='-1'");
    w->StartSpin(100.0f);
    for (float t : {0.0f, -0.5f, std::nanf("")}) {
        FrameTime(t);
        w->Rotate();
        EXPECT_FLOAT_EQ(100.0f, w->remaining) << t;
        EXPECT_FLOAT_EQ(50.0f, w->velocity) << t;
        EXPECT_FLOAT_EQ(0.0f, w->SignedAngle()) << t;
    }
    EXPECT_TRUE(g_log.entries.empty());
}

TEST_F(WheelControl, StopsAtRemainingZeroAndStaysStill) {
    NewSpinControl* w = OpenWheel("speed='0.5' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(10.0f);  // 5 degrees a second: 0.1 a frame
    int frames = 0;
    while (w->IsSpinning() && frames < 1000) {
        w->Rotate();
        ++frames;
    }
    EXPECT_NEAR(100, frames, 1);
    EXPECT_LE(w->remaining, 0.0f);
    float angle = w->SignedAngle();
    EXPECT_NEAR(-10.0f, angle, 0.01f);
    w->Rotate();
    w->Update();
    EXPECT_EQ(angle, w->SignedAngle());
    EXPECT_EQ("w:end", g_log.Joined());
}

// ---- Notches ------------------------------------------------------------------------

TEST_F(WheelControl, ClicksOncePerFiveDegreeNotch) {
    NewSpinControl* w = OpenWheel("speed='0.5' rod_snd='TRUE'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);  // one degree a frame
    std::string clickFrames;
    int clicks = 0;
    for (int frame = 1; frame <= 110; ++frame) {
        float before = w->nextClick;
        w->Rotate();
        if (w->nextClick != before) {
            ++clicks;
            if (clicks <= 3) clickFrames += std::to_string(frame) + " ";
            EXPECT_NEAR(5.0f, before - w->nextClick, kEps);
        }
    }
    // Boundaries at 2.4 + 5k degrees from the start: one click in the frame
    // after each is passed.
    EXPECT_EQ("4 9 14 ", clickFrames);
    EXPECT_EQ(20, clicks);
    EXPECT_FALSE(w->IsSpinning());
}

TEST_F(WheelControl, NextClickFollowsTheAngleKeptFromTheLastSpin) {
    NewSpinControl* w = OpenWheel("speed='0.5'");
    FrameTime(0.02f);
    w->StartSpin(3.0f);
    while (w->IsSpinning()) w->Rotate();
    const float angle = w->SignedAngle();
    ASSERT_NEAR(-3.0f, angle, 0.05f);
    w->StartSpin(50.0f);
    // About fmod(-3 + 362.4, 5) = 4.4: the next boundary lies 0.6 degrees on.
    EXPECT_NEAR(50.0f - (float)std::fmod(angle + 362.4, 5.0), w->nextClick, 0.001f);
    EXPECT_NEAR(50.0f - 4.4f, w->nextClick, 0.05f);
}

TEST_F(WheelControl, SeveralNotchesInOneFrameClickOnce) {
    NewSpinControl* w = OpenWheel("speed='6' rod_snd='TRUE'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);  // 12 degrees a frame
    EXPECT_EQ(0, CountClicks(w, 1));
    float before = w->nextClick;
    EXPECT_EQ(1, CountClicks(w, 1));
    EXPECT_NEAR(before - 5.0f, w->nextClick, kEps);
    EXPECT_EQ(1, CountClicks(w, 1));
    EXPECT_NEAR(before - 10.0f, w->nextClick, kEps);
}

TEST_F(WheelControl, NotchGeometry) {
    EXPECT_EQ(71, WheelNotchAt(0.0f));  // 717.6 mod 360 = 357.6
    EXPECT_EQ(23, WheelWedgeAt(0.0f));
    EXPECT_EQ(0, WheelNotchAt(357.5f));   // 0.1
    EXPECT_EQ(71, WheelNotchAt(357.7f));  // -0.1 -> 359.9
    EXPECT_EQ(35, WheelNotchAt(180.0f));  // 537.6 mod 360 = 177.6
    for (float a = -360.0f; a <= 360.0f; a += 0.7f) {
        int n = WheelNotchAt(a);
        EXPECT_GE(n, 0);
        EXPECT_LT(n, 72);
    }
}

// ---- "OnEnd" ----------------------------------------------------------------------

TEST_F(WheelControl, OnEndFiresOnceAtMinDegreeAndTheWheelGoesOn) {
    NewSpinControl* w = OpenWheel("speed='0.5' min_degree='10' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    int firedAt = 0;
    for (int frame = 1; frame <= 120; ++frame) {
        w->Rotate();
        if (!firedAt && !g_log.entries.empty()) {
            firedAt = frame;
            EXPECT_LE(w->remaining, 10.0f);
            EXPECT_GT(w->remaining, 8.9f);
            EXPECT_TRUE(w->IsSpinning());
        }
    }
    EXPECT_NEAR(90, firedAt, 1);
    EXPECT_EQ("w:end", g_log.Joined());
    EXPECT_FALSE(w->IsSpinning());
    // A new spin re-arms it.
    w->StartSpin(5.0f);
    w->Rotate();
    EXPECT_EQ("w:end w:end", g_log.Joined());
}

TEST_F(WheelControl, DistanceAtMostMinDegreeFiresInTheFirstFrame) {
    NewSpinControl* w = OpenWheel("speed='0.5' min_degree='10' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(8.0f);
    EXPECT_TRUE(g_log.entries.empty());
    w->Rotate();
    EXPECT_EQ("w:end", g_log.Joined());
    EXPECT_LT(w->remaining, 8.0f);
}

TEST_F(WheelControl, WithoutSpeedTheWheelNeverMoves) {
    NewSpinControl* w = OpenWheel("min_degree='10' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    for (int i = 0; i < 50; ++i) w->Rotate();
    EXPECT_FLOAT_EQ(100.0f, w->remaining);
    EXPECT_FLOAT_EQ(0.0f, w->SignedAngle());
    EXPECT_TRUE(g_log.entries.empty());
}

TEST_F(WheelControl, ZeroNegativeOrUndefinedDistanceLeavesTheWheelAtRest) {
    NewSpinControl* w = OpenWheel("speed='0.5' min_degree='10' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    for (float d : {0.0f, -50.0f, std::nanf(""), INFINITY}) {
        w->StartSpin(d);
        EXPECT_FALSE(w->IsSpinning()) << d;
        w->Rotate();
        EXPECT_FLOAT_EQ(0.0f, w->SignedAngle()) << d;
    }
    EXPECT_TRUE(g_log.entries.empty());
}

TEST_F(WheelControl, NegativeSpeedNeverTurnsBackwardsAndEndsTheSpin) {
    NewSpinControl* w = OpenWheel("speed='-0.5' accel='1' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    w->Rotate();
    EXPECT_FLOAT_EQ(0.0f, w->SignedAngle());
    EXPECT_FALSE(w->IsSpinning());
    EXPECT_LE(w->remaining, 100.0f);
    EXPECT_EQ("w:end", g_log.Joined());
}

TEST_F(WheelControl, DecelerationPastZeroStopsTheWheelAndEndsTheSpin) {
    // 50 degrees a second, slowing by 500 a second: stops after 0.1 s.
    NewSpinControl* w = OpenWheel("speed='0.5' accel='-10' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    float last = 0.0f;
    for (int i = 0; i < 20; ++i) {
        w->Rotate();
        EXPECT_LE(w->SignedAngle(), last + kEps);  // only forwards (negative angles)
        last = w->SignedAngle();
        EXPECT_GE(w->velocity, 0.0f);
    }
    EXPECT_FALSE(w->IsSpinning());
    EXPECT_EQ("w:end", g_log.Joined());
}

TEST_F(WheelControl, NegativeMinDegreeStillEndsTheSpin) {
    NewSpinControl* w = OpenWheel("speed='0.5' min_degree='-5' OnEnd='Rec(end)'");
    FrameTime(0.02f);
    w->StartSpin(10.0f);
    for (int i = 0; i < 200; ++i) w->Rotate();
    EXPECT_FALSE(w->IsSpinning());
    EXPECT_EQ("w:end", g_log.Joined());
}

// ---- Angle, visuals, pausing, input --------------------------------------------------

TEST_F(WheelControl, AngleIsKeptBetweenSpinsAndResetByANewBuild) {
    NewSpinControl* w = OpenWheel("speed='0.5'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    while (w->IsSpinning()) w->Rotate();
    EXPECT_NEAR(-100.0f, w->SignedAngle(), 0.05f);
    w->StartSpin(100.0f);
    EXPECT_NEAR(-100.0f, w->SignedAngle(), 0.05f);
    while (w->IsSpinning()) w->Rotate();
    EXPECT_NEAR(-200.0f, w->SignedAngle(), 0.1f);
    EXPECT_EQ(WheelNotchAt(-200.0f), WheelNotchAt(w->SignedAngle()));

    w->StartSpin(50.0f);
    w->BuildVisuals();  // re-opening the screen
    EXPECT_FALSE(w->IsSpinning());
    EXPECT_EQ(0.0f, w->SignedAngle());
    w->ReleaseVisuals();
    EXPECT_EQ(nullptr, w->body);
    EXPECT_EQ(0, w->endFired);
}

TEST_F(WheelControl, TurnByTurnsOnlyTheWheel) {
    NewSpinControl* w =
        OpenWheel("speed='0.5' group='deco'", "<group name='deco'><static name='d' model='m' texture='t'/></group>");
    w->StartSpin(100.0f);
    float next = w->nextClick;
    w->TurnBy(30.0f);
    EXPECT_NEAR(30.0f, w->SignedAngle(), kEps);
    EXPECT_NEAR(30.0f, w->body->rotation.axis.z * w->body->rotation.angle, kEps);
    GuiControl* d = Control("deco.d");
    ASSERT_NE(nullptr, d);
    EXPECT_NEAR(30.0f, d->rotation.axis.z * d->rotation.angle, kEps);
    EXPECT_FLOAT_EQ(100.0f, w->remaining);
    EXPECT_EQ(next, w->nextClick);
    w->TurnBy(-30.0f);
    EXPECT_NEAR(0.0f, w->SignedAngle(), kEps);
}

TEST_F(WheelControl, PausedRoundHoldsTheWheel) {
    NewSpinControl* w = OpenWheel("speed='0.5' OnPress='Rec(press)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    g_round.paused = 1;
    w->Update();
    Press();
    EXPECT_TRUE(w->MouseOver());
    EXPECT_FLOAT_EQ(100.0f, w->remaining);
    EXPECT_TRUE(g_log.entries.empty());
    g_round.paused = 0;
    w->Update();
    EXPECT_NEAR(99.0f, w->remaining, kEps);
}

TEST_F(WheelControl, HoverStepsTwiceAndPressRunsOnPress) {
    NewSpinControl* w = OpenWheel("speed='0.5' OnPress='Rec(press)'");
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    EXPECT_TRUE(w->MouseOver());
    EXPECT_NEAR(99.0f, w->remaining, kEps);
    EXPECT_TRUE(g_log.entries.empty());
    Press();
    EXPECT_TRUE(w->MouseOver());
    EXPECT_EQ("w:press", g_log.Joined());
}

TEST_F(WheelControl, DrivenByTheManagerFrames) {
    NewSpinControl* w = OpenWheel("speed='0.5' OnPress='Rec(press)'");
    Frame(2);
    w->StartSpin(100.0f);
    g_renderer.frameTime = 0.02f;
    g_renderer.defaultFrameTime = 0.02f;
    Frame(1);
    EXPECT_NEAR(99.0f, w->remaining, kEps);  // mouse far away: one step
    MouseAt(0.0f, 0.0f);                     // over the body
    Frame(1);
    // Hovered: the manager leaves out the update of the hovered control and
    // runs MouseOver instead, so the wheel keeps one step a frame.
    EXPECT_NEAR(98.0f, w->remaining, kEps);
    Frame(1);
    EXPECT_NEAR(97.0f, w->remaining, kEps);
}

TEST_F(WheelControl, MouseEnterShowsAndMouseLeaveHidesTheGauge) {
    NewSpinControl* w = OpenWheel("speed='0.5'", "", "<static name='other' model='m' texture='t'/>");
    GuiControl* gauge = Control("a.gauge");
    // The round's gauge in use, the one its spin reads (the bonus gauge in
    // the bonus round), not the ordinary one.
    GuiControl* ordinary = Control("a.other");
    g_round.controls.powerMeter = ordinary;
    g_round.controls.bonusPowerMeter = gauge;
    g_round.powerMeter = gauge;
    gauge->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    ordinary->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    w->MouseEnter();
    EXPECT_FALSE(gauge->HasFlags(GUI_FLAG_NOT_DRAWN));
    EXPECT_TRUE(ordinary->HasFlags(GUI_FLAG_NOT_DRAWN));
    w->MouseLeave();
    EXPECT_TRUE(gauge->HasFlags(GUI_FLAG_NOT_DRAWN));
    g_round.controls.powerMeter = nullptr;
    g_round.controls.bonusPowerMeter = nullptr;
    w->MouseEnter();  // a gauge no longer bound: nothing
    g_round.powerMeter = nullptr;
}

TEST_F(WheelControl, FlappersSwingAcrossEachNotch) {
    NewSpinControl* w = OpenWheel("speed='0.5' arrows='flaps'",
                                  "<group name='flaps'><static name='f0' model='m' texture='t'/>"
                                  "<static name='f1' model='m' texture='t'/><static name='f2' model='m' texture='t'/>"
                                  "<static name='f3' model='m' texture='t'/></group>",
                                  "<group name='fl' pos='3,3,0' group='flaps'/>");
    GuiControl* f[4] = {Control("flaps.f0"), Control("flaps.f1"), Control("flaps.f2"), Control("flaps.f3")};
    for (GuiControl* c : f) ASSERT_NE(nullptr, c);
    // f3 is past the third: left alone.
    for (GuiControl* c : f)
        if (c->body) c->body->rotation = Rotation{7.0f, {0.0f, 0.0f, 1.0f}};
    FrameTime(0.02f);
    w->StartSpin(100.0f);
    w->Rotate();
    const float offsets[3] = {0.5f, 2.4f, -1.1f};
    float angle = w->SignedAngle();
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(nullptr, f[i]->body) << i;
        float flap = (float)std::fmod(720.0 - angle - offsets[i], 5.0) * 12.0f;
        EXPECT_NEAR(flap, f[i]->body->rotation.angle * f[i]->body->rotation.axis.z, 0.01f) << i;
        EXPECT_LE(f[i]->body->rotation.angle, 60.0f);
    }
    if (f[3]->body) EXPECT_FLOAT_EQ(7.0f, f[3]->body->rotation.angle);
}

TEST_F(WheelControl, SetStateMapsOpeningAndClosing) {
    NewSpinControl* w = OpenWheel("speed='0.5'");
    w->SetState(GUI_STATE_OPENING);
    EXPECT_EQ(GUI_STATE_IDLE, w->state);
    w->SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(GUI_STATE_CLOSED, w->state);
    w->SetState(7);
    EXPECT_EQ(7, w->state);
}

}  // namespace
