// The Lite's sprite operations and its 2D wheel: copies that share their
// model, play modes, rates and frame shares on hand-made sprites; the
// wheel's pictures, clicks and end; the spin and wheel handlers' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "controls_simple.h"
#include "developer.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "lite_controls.h"
#include "lite_factory.h"
#include "lite_screen_sets.h"
#include "lite_spin_control.h"
#include "lite_variants.h"
#include "lite_wheel_callbacks.h"
#include "match_callbacks.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "resource_manager.h"
#include "round_controller.h"
#include "strings.h"
#include "wedge_control.h"

namespace {

const char kSheet[] = "lite_wheel_test.png";

void MakeModel(const char* key, std::vector<std::pair<const char*, unsigned>> clips) {
    Model* m = static_cast<Model*>(g_resourceManager.CreateEntry(key, RESOURCE_MODEL));
    ASSERT_NE(nullptr, m);
    m->clips.count = (unsigned)clips.size();
    m->clips.items = new ModelClip[clips.size()];
    for (size_t i = 0; i < clips.size(); ++i) {
        SetString(m->clips.items[i].name, clips[i].first);
        m->clips.items[i].frameCount = clips[i].second;
    }
}

unsigned RefCount(const char* key, int type) {
    Resource* r = g_resourceManager.Find(key, type);
    return r ? r->refCount : 0u;
}

// Screen operations that keep the cues and picture modes they are given.
struct RecordingOps : GameScreenOps {
    std::vector<std::string> cues;
    std::vector<float> clickRemaining;  // the zoom wheel's distance left at each click
    std::vector<std::pair<GuiControl*, int>> modes;
    SoundInstance* PlayCue(const char* cue, int, bool) override {
        cues.push_back(cue ? cue : "");
        if (cues.back() == "WHEEL_CLICK")
            if (auto* w = dynamic_cast<NewSpinControl*>(g_liteControls.zoomWheel)) clickRemaining.push_back(w->remaining);
        return nullptr;
    }
    void SetPictureMode(GuiControl* picture, int mode) override { modes.push_back({picture, mode}); }
    void PostStatusMessage(GuiControl*, const char*) override {}
    bool OpenWindow(const char*) override { return true; }
    bool SaveGame() override { return true; }
    void StopAllSounds() override {}
    void PauseAllSounds() override {}
    void ResumeAllSounds() override {}
    int Clicks() const {
        int n = 0;
        for (const std::string& c : cues) n += c == "WHEEL_CLICK";
        return n;
    }
};

int g_ends = 0;
bool CountEnd(void*, const char*) {
    ++g_ends;
    return true;
}

class Picture : public GuiControl {};

class LiteWheel : public ::testing::Test {
protected:
    void SetUp() override {
        g_resourceManager.Init();
        ASSERT_NE(nullptr, g_resourceManager.CreateEntry(kSheet, RESOURCE_TEXTURE));
        MakeModel("wheel72.mdl|body", {{"idle", 72}});
        MakeModel("wheel144.mdl|body", {{"idle", 144}});
        MakeModel("bonus9.mdl|body", {{"idle", 9}});
        MakeModel("flap.mdl|body", {{"idle", 4}});
        MakeModel("empty.mdl|body", {{"idle", 0}});
        savedFrameTime = g_renderer.frameTime;
        savedDefault = g_renderer.defaultFrameTime;
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
        g_renderer.frameTime = 1.0f / 60.0f;
        g_round.SetOps(&ops);
        g_round.roundType = ROUND_ONE;
        g_round.state = STATE_START_OF_TURN;
        g_round.spinRequested = 0;
        g_round.current = nullptr;
        g_ends = 0;
        for (int i = 0; i < LiteControls::kSeats; ++i) {
            Picture* f = new Picture();
            f->body = new ModelInstance("flap.mdl", "body", kSheet);
            f->body->PlayAnimation("idle", PLAY_LOOP, 0.0f);
            g_liteControls.flappers[i] = f;
            owned.push_back(f);
        }
    }
    void TearDown() override {
        for (GuiControl* c : owned) {
            GuiControl::FreeVisual(c->body);
            delete c;
        }
        g_liteControls = LiteControls();
        g_round.controls = GameControls();
        g_round.current = nullptr;
        g_round.spinRequested = 0;
        g_round.state = STATE_START_OF_TURN;
        g_round.SetOps(nullptr);
        g_renderer.frameTime = savedFrameTime;
        g_renderer.defaultFrameTime = savedDefault;
        g_resourceManager.Shutdown();
    }

    // A wheel showing the first picture of its sprite, slowing to a stop
    // about 11% beyond any distance it is given.
    LiteSpinControl* NewWheel(const char* model, bool zoom = true) {
        GuiControl* made = CreateLiteGuiControl("newspin");
        LiteSpinControl* w = dynamic_cast<LiteSpinControl*>(made);
        if (!w) {
            delete made;
            ADD_FAILURE() << "the Lite's \"newspin\" is its own wheel";
            return nullptr;
        }
        owned.push_back(w);
        w->body = new ModelInstance(model, "body", kSheet);
        w->speedFactor = 1.0f;
        w->accelFactor = -0.45f;
        w->rodSound = 1;
        w->onEnd = new GuiHandlerList();
        w->onEnd->Add(CountEnd, nullptr);
        if (zoom) g_liteControls.zoomWheel = w;
        else g_liteControls.bonusWheel = w;
        w->SetState(GUI_STATE_IDLE);
        return w;
    }
    static int RunToRest(NewSpinControl* w) {
        int frames = 0;
        while (w->IsSpinning() && frames < 200000) {
            ++g_renderer.frameCounter;
            w->Update();
            ++frames;
        }
        return frames;
    }
    TimerControl* NewTimer(float seconds) {
        TimerControl* t = new TimerControl();
        t->startTime = seconds;
        owned.push_back(t);
        return t;
    }

    RecordingOps ops;
    std::vector<GuiControl*> owned;
    float savedFrameTime = 0.0f, savedDefault = 0.0f;
};

// ---- Sprites -----------------------------------------------------------------------

TEST_F(LiteWheel, CopiesShareTheirSpriteAndModesRatesAndSharesKeepInsideTheClip) {
    ModelInstance source("flap.mdl", "body", kSheet);
    source.SetPosition(0.5f, 0.25f, 3.0f);
    source.SetPivot(1.0f, 2.0f, 3.0f);
    source.PlayAnimation("idle", PLAY_LOOP, 10.0f);
    const unsigned models = RefCount("flap.mdl|body", RESOURCE_MODEL), sheets = RefCount(kSheet, RESOURCE_TEXTURE);

    ModelInstance* copy = new ModelInstance(nullptr, nullptr, nullptr);
    copy->CopyFrom(&source);
    EXPECT_EQ(OWN_SHARED_COPY, copy->ownership);
    EXPECT_EQ(source.model, copy->model);
    EXPECT_EQ(source.texture, copy->texture);
    EXPECT_EQ(source.clip, copy->clip);
    EXPECT_EQ(PLAY_LOOP, copy->playMode);
    EXPECT_FLOAT_EQ(0.25f, copy->position.y);
    EXPECT_EQ(0u, copy->frame);
    EXPECT_TRUE(copy->finished) << "a copy waits for PlayAnimation";
    ASSERT_NE(source.pivot, copy->pivot);
    EXPECT_NE(&copy->position, copy->pivot);
    EXPECT_FLOAT_EQ(2.0f, copy->pivot->y);
    EXPECT_EQ(models, RefCount("flap.mdl|body", RESOURCE_MODEL)) << "a copy holds no reference";
    delete copy;
    EXPECT_EQ(models, RefCount("flap.mdl|body", RESOURCE_MODEL)) << "and gives none back";
    EXPECT_EQ(sheets, RefCount(kSheet, RESOURCE_TEXTURE));

    // A copy of a missing entry draws nothing; one that held references
    // gives them back first.
    ModelInstance* held = new ModelInstance("flap.mdl", "body", kSheet);
    held->PlayAnimation("idle", PLAY_LOOP, 0.0f);
    held->CopyFrom(nullptr);
    EXPECT_EQ(models, RefCount("flap.mdl|body", RESOURCE_MODEL));
    EXPECT_EQ(nullptr, held->clip);
    EXPECT_EQ(ADVANCE_NONE, held->Draw());
    held->SetPlayMode(PLAY_ONCE);
    held->SetFrameFraction(0.5f);
    held->SetSpeed(5.0f);
    EXPECT_EQ(PLAY_ONCE, held->playMode) << "without a clip only the mode is kept";
    held->CopyFrom(held);
    delete held;
    ModelInstance plain("flap.mdl", "body", kSheet);
    ModelInstance same(nullptr, nullptr, nullptr);
    same.CopyFrom(&plain);
    EXPECT_EQ(&same.position, same.pivot) << "a pivot on the position stays on the copy's own";

    MakeModel("twenty.mdl|body", {{"idle", 20}, {"ten", 10}});
    ModelInstance t("twenty.mdl", "body", kSheet);
    t.PlayAnimation("idle", PLAY_STILL, 0.0f);
    t.SetFrameFraction(1.0f);
    EXPECT_EQ(19u, t.frame);
    EXPECT_EQ(19u, t.endFrame);
    t.SetFrameFraction(std::nanf(""));
    EXPECT_EQ(0u, t.frame);
    t.SetFrameFraction(-2.0f);
    EXPECT_EQ(0u, t.frame);
    t.PlayAnimation("ten", PLAY_STILL, 0.0f);
    t.SetFrameFraction(0.5f);
    EXPECT_EQ(5u, t.frame);
    t.SetPlayMode(PLAY_LOOP);
    EXPECT_FALSE(t.finished);
    EXPECT_EQ(9u, t.endFrame);
    t.SetFrameFraction(0.8f);
    EXPECT_EQ(5u, t.frame) << "a loop keeps its own course";
    t.SetPlayMode(PLAY_ONCE);
    t.SetFrameFraction(0.8f);
    EXPECT_EQ(8u, t.frame);
    t.SetPlayMode(PLAY_BACKWARDS);
    EXPECT_EQ(0u, t.endFrame);
    t.SetFrameFraction(0.3f);
    EXPECT_EQ(3u, t.frame);
    t.SetPlayMode(PLAY_STILL);
    EXPECT_TRUE(t.finished);

    t.SetSpeed(4.0f);
    EXPECT_FLOAT_EQ(0.25f, t.frameDuration);
    for (float bad : {0.0f, -3.0f, std::nanf("")}) {
        t.SetSpeed(bad);
        EXPECT_FLOAT_EQ(1.0f / 35.0f, t.frameDuration) << bad;
    }

    // A sequence of no frames is never divided by.
    ModelInstance e("empty.mdl", "body", kSheet);
    e.PlayAnimation("idle", PLAY_STILL, 0.0f);
    e.SetFrameFraction(0.7f);
    e.SetPlayMode(PLAY_ONCE);
    EXPECT_EQ(0u, e.frame);
    EXPECT_EQ(0u, e.endFrame);
}

// ---- The wheel ---------------------------------------------------------------------

TEST_F(LiteWheel, PicturesFollowTheTurnAndTheNextSpinStartsFromThePictureShown) {
    LiteSpinControl* wheel = NewWheel("wheel72.mdl");
    ASSERT_NE(nullptr, wheel);
    EXPECT_NEAR(1.0f / 35.0f, wheel->body->frameDuration, 1e-6f) << "the zoom wheel idles at the default rate";
    // An overlay with twice the pictures rides along.
    GuiGroup overlays;
    WedgeControl* overlay = new WedgeControl();
    owned.push_back(overlay);
    overlay->body = new ModelInstance("wheel144.mdl", "body", kSheet);
    overlay->body->PlayAnimation("idle", PLAY_STILL, 0.0f);
    ASSERT_TRUE(overlays.AddControl(overlay));
    wheel->childGroup = &overlays;

    wheel->StartSpin(400.0f - 0.1f);
    EXPECT_FLOAT_EQ(0.0f, wheel->rotation.angle);
    float lastAngle = 0.0f;
    unsigned turns = 0;
    while (wheel->IsSpinning()) {
        wheel->Rotate();
        if (wheel->rotation.angle < lastAngle) ++turns;
        lastAngle = wheel->rotation.angle;
        ASSERT_EQ(2 * wheel->body->frame, overlay->body->frame);
        if (wheel->velocity > 0.0f) {
            for (GuiControl* f : g_liteControls.flappers)
                ASSERT_NEAR(1.0f / (0.3f * wheel->velocity), f->body->frameDuration, 1e-3f);
        }
    }
    EXPECT_EQ(1, g_ends);
    EXPECT_EQ(1u, turns);
    EXPECT_NEAR(39.9f, wheel->rotation.angle, 1e-2f) << "the spin ends on its distance";
    EXPECT_EQ(7u, wheel->body->frame);

    // The next spin starts from the picture, whatever the angle was; a wheel
    // showing the same picture without that history turns alike.
    LiteSpinControl* fresh = NewWheel("wheel72.mdl");
    fresh->body->SetFrameFraction(7.0f / 72.0f);
    ASSERT_EQ(7u, fresh->body->frame);
    for (LiteSpinControl* w : {wheel, fresh}) {
        g_liteControls.zoomWheel = w;
        w->StartSpin(200.0f - 0.1f);
        EXPECT_FLOAT_EQ(LiteWheelStartAngle(7, 72), w->rotation.angle);
        w->Rotate();
        EXPECT_GE(w->body->frame + 1, 7u) << "no jump away from the picture shown";
        EXPECT_LE(w->body->frame, 7u);
        RunToRest(w);
    }
    EXPECT_EQ(wheel->body->frame, fresh->body->frame);
    EXPECT_FLOAT_EQ(wheel->rotation.angle, fresh->rotation.angle);
    overlays.controlCount = 0;

    // The bonus wheel's pictures repeat every 22.5 degrees.
    LiteSpinControl* bonus = NewWheel("bonus9.mdl", false);
    EXPECT_NEAR(1.0f / 20.0f, bonus->body->frameDuration, 1e-6f);
    bonus->StartSpin(3 * 22.5f + 11.3f);
    RunToRest(bonus);
    EXPECT_EQ(4u, bonus->body->frame);
    bonus->StartSpin(22.5f);
    EXPECT_NEAR(10.0f, bonus->rotation.angle, 1e-4f) << "from its picture within the sequence";
}

TEST_F(LiteWheel, ClicksOnlyInTheLastNinetyDegreesAndEveryMarkOfAShortSpin) {
    g_renderer.frameTime = 1.0f / 200.0f;  // less than a mark a frame
    LiteSpinControl* wheel = NewWheel("wheel72.mdl");
    wheel->StartSpin(720.0f);
    RunToRest(wheel);
    EXPECT_EQ(18, ops.Clicks()) << "90, 85 ... 5 degrees before the end";
    for (float left : ops.clickRemaining) EXPECT_LT(left, 90.0f);

    ops.cues.clear();
    wheel->StartSpin(80.0f);
    RunToRest(wheel);
    EXPECT_EQ(15, ops.Clicks()) << "75, 70 ... 5";

    ops.cues.clear();
    wheel->rodSound = 0;
    wheel->StartSpin(80.0f);
    RunToRest(wheel);
    EXPECT_EQ(0, ops.Clicks());
}

// A wheel whose speed runs out short of its distance ends where it stands:
// "OnEnd" comes once, it never turns back and no rate below zero reaches a
// flapper. Pause holds the flappers, resume moves them while it turns.
TEST_F(LiteWheel, AStalledSpinEndsOnceAndPauseHoldsTheFlappers) {
    LiteSpinControl* wheel = NewWheel("wheel72.mdl");
    wheel->accelFactor = -1.0f;  // the speed is gone half way
    wheel->minDegree = 0.0f;
    wheel->StartSpin(300.0f);
    float last = wheel->rotation.angle;
    int frames = 0;
    while (wheel->IsSpinning() && frames++ < 10000) {
        wheel->Rotate();
        ASSERT_GE(wheel->rotation.angle, last);
        last = wheel->rotation.angle;
        for (GuiControl* f : g_liteControls.flappers) ASSERT_GT(f->body->frameDuration, 0.0f);
    }
    EXPECT_FALSE(wheel->IsSpinning());
    EXPECT_EQ(1, g_ends);
    EXPECT_GT(last, 100.0f);
    EXPECT_LT(last, 200.0f);
    wheel->Rotate();
    EXPECT_EQ(1, g_ends);

    // At rest the debug stop reads no wedge; turning, it ends the spin at once.
    LiteCallbacks::HackStopZoomWheel(nullptr, nullptr);
    LiteCallbacks::HackRotateWheel(nullptr, nullptr);
    EXPECT_EQ(1, g_ends);
    wheel->accelFactor = -0.45f;
    wheel->StartSpin(300.0f);
    wheel->Resume();
    ASSERT_EQ(3u, ops.modes.size());
    for (auto& m : ops.modes) EXPECT_EQ(PICTURE_ACTIVE, m.second);
    wheel->Pause();
    ASSERT_EQ(6u, ops.modes.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_liteControls.flappers[i], ops.modes[3 + i].first);
        EXPECT_EQ(PICTURE_INACTIVE, ops.modes[3 + i].second);
    }
    // The key reaches the Lite's own stop only in a developer's game.
    GuiCallback stopKey = LiteCallbackVariant("HackStopZoomWheel");
    ASSERT_NE(nullptr, stopKey);
    const float remaining = wheel->remaining;
    SetDeveloperMode(false);
    stopKey(nullptr, nullptr);
    EXPECT_EQ(remaining, wheel->remaining) << "a player's game";
    SetDeveloperMode(true);
    stopKey(nullptr, nullptr);
    SetDeveloperMode(false);
    EXPECT_LT(wheel->remaining, 0.01f) << "a developer's game";
    LiteCallbacks::HackStopZoomWheel(nullptr, nullptr);
    LiteCallbacks::HackRotateWheel(nullptr, nullptr);
    EXPECT_FALSE(wheel->IsSpinning());
    EXPECT_EQ(2, g_ends);
    wheel->Resume();
    EXPECT_EQ(6u, ops.modes.size()) << "a wheel at rest leaves its flappers resting";

    LiteSpinControl* bonus = NewWheel("bonus9.mdl", false);
    bonus->StartSpin(100.0f);
    bonus->Pause();
    bonus->Resume();
    EXPECT_EQ(6u, ops.modes.size()) << "the bonus wheel has no flappers";
}

// ---- Handlers ------------------------------------------------------------------------

TEST_F(LiteWheel, TheDistanceComesFromTheGaugePictureAndStopsShortOfAMark) {
    for (float g : {0.0f, 0.1f, 0.25f, 0.5f, 0.75f, 0.99f, 1.0f}) {
        const float p = g < 0.5f ? 2.0f * g : 2.0f * (1.0f - g);
        const float base = (0.6f * p + 0.4f) * 1080.0f;
        for (int term = -50; term <= 50; ++term) {
            const float d = LiteSpinDistance(g, term);
            const double past = std::fmod((double)d + 0.1, 5.0);
            ASSERT_LT(std::fmin(past, 5.0 - past), 1e-3) << g << " " << term << " " << d;
            ASSERT_LE(d, base + term - 0.1f + 1e-3f);
            ASSERT_GE(d, base + term - 5.1f - 1e-3f);
        }
    }

    // Through the handlers: the middle picture of the spin gauge, then the
    // first picture of the bonus gauge, then a gauge of no pictures.
    LiteSpinControl* zoom = NewWheel("wheel72.mdl");
    g_round.controls.zoomWheel = zoom;
    Picture* gauge = new Picture();
    owned.push_back(gauge);
    gauge->body = new ModelInstance("bonus9.mdl", "body", kSheet);
    gauge->body->PlayAnimation("idle", PLAY_STILL, 0.0f);
    gauge->body->SetFrameFraction(0.5f);
    ASSERT_EQ(4u, gauge->body->frame);
    MakeModel("gauge10.mdl|body", {{"idle", 10}});
    Picture* bonusGauge = new Picture();
    owned.push_back(bonusGauge);
    bonusGauge->body = new ModelInstance("gauge10.mdl", "body", kSheet);
    bonusGauge->body->PlayAnimation("idle", PLAY_STILL, 0.0f);
    g_liteControls.spinGauge = gauge;
    g_liteControls.bonusGauge = bonusGauge;
    g_liteControls.roundCheckTimer = NewTimer(1.0f);
    g_liteControls.idleTimer = NewTimer(5.0f);
    g_liteControls.idleTimer->timeLeft = 3.0f;

    g_round.state = STATE_START_OF_TURN;
    ASSERT_TRUE(LiteCallbacks::Spin(nullptr, nullptr));
    EXPECT_EQ(1, g_round.spinRequested);
    EXPECT_FLOAT_EQ(0.0f, g_liteControls.idleTimer->timeLeft);
    EXPECT_FLOAT_EQ(1.0f, g_liteControls.roundCheckTimer->timeLeft);
    ASSERT_TRUE(LiteCallbacks::Round_VerifTimer(nullptr, nullptr));
    // 4/9 of the gauge: 0.6 x 8/9 + 0.4 of 1080.
    EXPECT_NEAR(1008.0f, g_round.spinPower, 55.1f);
    EXPECT_EQ(STATE_SPIN, g_round.state);
    EXPECT_FLOAT_EQ(g_round.spinPower, zoom->spinDistance) << "the zoom wheel travels it";
    EXPECT_FLOAT_EQ(0.0f, g_liteControls.roundCheckTimer->timeLeft);
    EXPECT_NE(ops.cues.end(), std::find(ops.cues.begin(), ops.cues.end(), "WHEEL_SPIN"));
    EXPECT_NE(ops.cues.end(), std::find(ops.cues.begin(), ops.cues.end(), "AUD_HAPPY_4"));

    g_round.roundType = ROUND_BONUS;
    LiteCallbacks::Round_VerifTimer(nullptr, nullptr);
    EXPECT_NEAR(432.0f - 2.6f, g_round.spinPower, 52.6f);
    bonusGauge->body->Bind("empty.mdl", "body", kSheet);
    bonusGauge->body->PlayAnimation("idle", PLAY_STILL, 0.0f);
    LiteCallbacks::Round_VerifTimer(nullptr, nullptr);
    EXPECT_NEAR(432.0f - 2.6f, g_round.spinPower, 52.6f) << "no pictures read as the gauge's start";
}

// The sector comes from the picture and the seat alone: a wheel that got
// there by two spins and one set there directly read alike. Without a
// contestant no seat is added.
TEST_F(LiteWheel, TheSamePictureAndSeatGiveTheSameSectorWhateverTheHistory) {
    EXPECT_EQ(3, LiteLandedSector(0, 72, 1));
    EXPECT_EQ(68, LiteLandedSector(0, 72, 2));
    EXPECT_EQ(0, LiteLandedSector(10, 72, 3));
    EXPECT_EQ(71, LiteLandedSector(71, 72, 0));
    EXPECT_EQ(71, LiteLandedSector(143, 144, 0));
    EXPECT_EQ(3, LiteLandedSector(40, 0, 1)) << "no pictures: the seat's own sector";

    g_liteControls.roundTimer = NewTimer(2.0f);
    Contestant& seat2 = g_round.contestants[1];
    seat2.seat = 2;
    g_round.current = &seat2;
    LiteSpinControl* travelled = NewWheel("wheel72.mdl");
    travelled->onEnd->Add(LiteCallbacks::EndRotateZoomWheel, nullptr);
    for (float d : {400.0f, 123.4f, 251.0f}) {
        g_liteControls.zoomWheel = travelled;
        travelled->StartSpin(d);
        RunToRest(travelled);
        const unsigned frame = travelled->body->frame;
        EXPECT_EQ(LiteLandedSector(frame, 72, 2), g_round.landedSector);
        EXPECT_FLOAT_EQ(2.0f, g_liteControls.roundTimer->timeLeft);
        ASSERT_GE(ops.modes.size(), 3u);
        for (size_t i = ops.modes.size() - 3; i < ops.modes.size(); ++i) EXPECT_EQ(PICTURE_INACTIVE, ops.modes[i].second);

        LiteSpinControl* direct = NewWheel("wheel72.mdl");
        direct->body->SetFrameFraction((float)frame / 72.0f);
        g_round.landedSector = -1;
        LiteCallbacks::EndRotateZoomWheel(direct, nullptr);
        EXPECT_EQ(LiteLandedSector(frame, 72, 2), g_round.landedSector) << d;
        g_round.current = nullptr;
        LiteCallbacks::EndRotateZoomWheel(direct, nullptr);
        EXPECT_EQ(LiteLandedSector(frame, 72, 0), g_round.landedSector);
        g_round.current = &seat2;

        g_round.state = STATE_START_OF_TURN;
        LiteCallbacks::ExitZoomWheel(nullptr, nullptr);
        EXPECT_FLOAT_EQ(0.0f, g_liteControls.roundTimer->timeLeft);
        ASSERT_TRUE(g_liteControls.zoomWheel);
        EXPECT_TRUE(g_liteControls.zoomWheel->HasFlags(GUI_FLAG_NOT_DRAWN)) << "the close-up stays over the board";
        EXPECT_TRUE(g_liteControls.zoomWheel->HasFlags(GUI_FLAG_DISABLED)) << "the hidden close-up takes the pointer";
        // A new puzzle takes the close-up away too (its timer was stopped).
        g_liteControls.zoomWheel->ClearFlags(GUI_FLAG_NOT_DRAWN | GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
        LiteRoundScreenSets().ShowPuzzleControls(g_round);
        EXPECT_TRUE(g_liteControls.zoomWheel->HasFlags(GUI_FLAG_NOT_DRAWN));
        EXPECT_TRUE(g_liteControls.zoomWheel->HasFlags(GUI_FLAG_DISABLED));
    }

    // A test run's wedge: the spin is lengthened to rest on its middle.
    for (int wedge : {0, 5, 23}) {
        const unsigned start = travelled->body->frame;
        const float d = LiteDistanceToWedge(500.0f, start, 72, 2, wedge);
        EXPECT_GE(d, 500.0f);
        EXPECT_LT(d, 860.0f);
        g_liteControls.zoomWheel = travelled;
        travelled->StartSpin(d);
        RunToRest(travelled);
        EXPECT_EQ(3 * wedge + 1, g_round.landedSector);
    }
    g_round.contestants[1] = Contestant();
}

}  // namespace
