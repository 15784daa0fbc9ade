#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "frame_timer.h"
#include "input_state.h"
#include "renderer.h"

namespace {

TEST(InputState, KeyEdgesLastOneFrame) {
    InputState in;
    in.Clear();
    in.Set(INPUT_KEY_ENTER, KEY_WENT_DOWN);
    EXPECT_EQ(INPUT_KEY_ENTER, in.Get(INPUT_LAST_DOWN));
    in.EndFrame();
    EXPECT_EQ(KEY_HELD, in.Get(INPUT_KEY_ENTER));
    EXPECT_EQ(0, in.Get(INPUT_LAST_DOWN));
    in.Set(INPUT_KEY_ENTER, KEY_WENT_UP);
    EXPECT_EQ(INPUT_KEY_ENTER, in.Get(INPUT_LAST_UP));
    in.EndFrame();
    EXPECT_EQ(KEY_UP, in.Get(INPUT_KEY_ENTER));

    // Down and up in one frame leave "went up" for readers of that frame.
    in.Set(30, KEY_WENT_DOWN);
    in.Set(30, KEY_WENT_UP);
    EXPECT_EQ(KEY_WENT_UP, in.Get(30));
    in.EndFrame();
    EXPECT_EQ(KEY_UP, in.Get(30));

    in.Set(INPUT_MOUSE_LEFT, KEY_DOUBLE_CLICK);
    in.EndFrame();
    EXPECT_EQ(KEY_HELD, in.Get(INPUT_MOUSE_LEFT));
}

TEST(InputState, MouseAxesAndOutOfRangeCodes) {
    InputState in;
    in.Clear();
    in.Set(INPUT_MOUSE_X, 90);
    in.EndFrame();
    in.Set(INPUT_MOUSE_X, 100);
    EXPECT_EQ(10, in.Get(INPUT_MOUSE_DX));
    EXPECT_EQ(90, in.Get(INPUT_MOUSE_PREV_X));
    EXPECT_EQ(100, in.Get(INPUT_MOUSE_X));
    in.EndFrame();
    EXPECT_EQ(0, in.Get(INPUT_MOUSE_DX));
    EXPECT_EQ(100, in.Get(INPUT_MOUSE_X));

    in.Set(INPUT_MOUSE_DX, 5);
    EXPECT_EQ(105, in.Get(INPUT_MOUSE_X));
    in.EndFrame();
    EXPECT_EQ(105, in.Get(INPUT_MOUSE_X)) << "the absolute position is not aged";

    in.Set(INPUT_TABLE_SIZE, 1);
    in.Set(-1, 1);
    EXPECT_EQ(0, in.Get(INPUT_LAST_DOWN)) << "codes outside the table change nothing";
    EXPECT_EQ(0, in.Get(INPUT_TABLE_SIZE));
    // An extended key has its own code, apart from its plain twin.
    in.Set(INPUT_EXTENDED_KEY + INPUT_KEY_ENTER, KEY_WENT_DOWN);
    EXPECT_EQ(INPUT_EXTENDED_KEY + INPUT_KEY_ENTER, in.Get(INPUT_LAST_DOWN));
    EXPECT_EQ(KEY_UP, in.Get(INPUT_KEY_ENTER));
    in.EndFrame();
    EXPECT_EQ(KEY_HELD, in.Get(INPUT_EXTENDED_KEY + INPUT_KEY_ENTER)) << "extended keys age too";

    in.Set(INPUT_CHAR, 'q');
    in.Set(INPUT_WHEEL, -1);
    in.EndFrame();
    EXPECT_EQ(0, in.Get(INPUT_CHAR));
    EXPECT_EQ(0, in.Get(INPUT_WHEEL));
}

// What the window messages deliver is never lost within a frame: each edge
// is seen for one whole frame, in the order it arrived; the game's own Set
// still overwrites at once.
TEST(InputState, PostedEdgesAndCharactersEachGetAFrame) {
    InputState in;
    in.Clear();
    // An instant click, then a double click sent all at once.
    in.Post(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    in.Post(INPUT_MOUSE_LEFT, KEY_WENT_UP);
    in.Post(INPUT_MOUSE_LEFT, KEY_DOUBLE_CLICK);
    in.Post(INPUT_MOUSE_LEFT, KEY_WENT_UP);
    in.Post(INPUT_CHAR, 'a');
    in.Post(INPUT_CHAR, 'b');
    const int want[][3] = {{KEY_WENT_DOWN, 'a', INPUT_MOUSE_LEFT},
                           {KEY_WENT_UP, 'b', 0},
                           {KEY_DOUBLE_CLICK, 0, 0},
                           {KEY_WENT_UP, 0, 0},
                           {KEY_UP, 0, 0}};
    for (const auto& w : want) {
        EXPECT_EQ(w[0], in.Get(INPUT_MOUSE_LEFT));
        EXPECT_EQ(w[1], in.Get(INPUT_CHAR));
        EXPECT_EQ(w[2], in.Get(INPUT_LAST_DOWN));
        in.EndFrame();
    }
    EXPECT_EQ(0, in.DeferredCount());

    // Consuming a click (the game's Set) keeps the release that waits.
    in.Post(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    in.Post(INPUT_MOUSE_LEFT, KEY_WENT_UP);
    in.Set(INPUT_MOUSE_LEFT, KEY_HELD);
    in.EndFrame();
    EXPECT_EQ(KEY_WENT_UP, in.Get(INPUT_MOUSE_LEFT));
    in.EndFrame();
    // Auto-repeat and a held key go straight in, as before.
    in.Post(30, KEY_WENT_DOWN);
    in.EndFrame();
    in.Post(30, KEY_WENT_DOWN);
    EXPECT_EQ(KEY_WENT_DOWN, in.Get(30));
    EXPECT_EQ(0, in.DeferredCount());
    in.Post(30, KEY_WENT_UP);
    in.Post(30, KEY_WENT_DOWN);  // tapped again within the frame
    in.EndFrame();
    EXPECT_EQ(KEY_WENT_UP, in.Get(30));
    in.EndFrame();
    EXPECT_EQ(KEY_WENT_DOWN, in.Get(30));
    // A flood beyond the queue's room falls back to plain overwriting.
    in.Clear();
    for (int i = 0; i < 3 * InputState::kMaxDeferred; ++i) in.Post(INPUT_CHAR, 'a' + i % 26);
    EXPECT_EQ(InputState::kMaxDeferred, in.DeferredCount());
}

TEST(InputState, ManyChangesInOneFrameStayBounded) {
    InputState in;
    in.Clear();
    for (int i = 0; i < 2000; ++i) in.Set(i % 120, (i % 2) ? KEY_WENT_UP : KEY_WENT_DOWN);
    in.EndFrame();
    for (int k = 0; k < 120; ++k) EXPECT_LE(in.Get(k), KEY_HELD);
}

uint32_t g_fakeTicks = 0;
uint32_t FakeTicks() { return g_fakeTicks; }

struct FakeClock {
    FakeClock() { FrameTimer::TickSource = FakeTicks; }
    ~FakeClock() { FrameTimer::TickSource = saved; }
    uint32_t (*saved)() = FrameTimer::TickSource;
};

TEST(FrameTimer, NestedPausesExcludePausedTime) {
    FakeClock clock;
    g_fakeTicks = 1000;
    FrameTimer t;
    g_fakeTicks = 3000;
    t.Tick();
    EXPECT_FLOAT_EQ(2.0f, t.Elapsed());
    t.Pause();
    t.Pause();
    g_fakeTicks = 10000;
    t.Resume();
    EXPECT_TRUE(t.IsPaused());
    t.Tick();
    EXPECT_FLOAT_EQ(2.0f, t.Elapsed());
    g_fakeTicks = 13000;
    t.Resume();
    EXPECT_FALSE(t.IsPaused());
    g_fakeTicks = 14000;
    t.Tick();
    EXPECT_FLOAT_EQ(3.0f, t.Elapsed()) << "the whole paused span is left out";
    t.Resume();  // without a pause: nothing
    EXPECT_EQ(0, t.PauseCount());
}

TEST(FrameTimer, SurvivesTheTickCountWrapping) {
    FakeClock clock;
    g_fakeTicks = 0xFFFFF000u;  // about four seconds before the wrap
    FrameTimer t;
    g_fakeTicks = 0x00000800u;  // six seconds later, past the wrap
    t.Tick();
    EXPECT_NEAR(6.144f, t.Elapsed(), 0.001f);
    t.Pause();
    g_fakeTicks += 5000;
    t.Resume();
    g_fakeTicks += 1000;
    t.Tick();
    EXPECT_NEAR(7.144f, t.Elapsed(), 0.001f);
}

TEST(FrameTimer, KeepsMillisecondPrecisionAfterWeeksOfUptime) {
    FakeClock clock;
    g_fakeTicks = 30u * 24 * 3600 * 1000;  // a month of uptime
    FrameTimer t;
    g_fakeTicks += 16;
    t.Tick();
    EXPECT_NEAR(0.016f, t.Elapsed(), 1e-6f);
}

// The renderer's device-independent half: matrix stack, messages, mouse.
class RendererMath : public ::testing::Test {
protected:
    Renderer r;
    void SetUp() override {
        r.viewSize = {2.6666665f, 2.0f, 100.0f};
        r.clientWidth = 800;
        r.clientHeight = 600;
        // Give the stack its base node as Init would, without a device.
        r.PushMatrix();
    }
};

TEST_F(RendererMath, TranslateFollowsRotatedAxes) {
    r.Rotate(90.0f, 1.0f, 0.0f, 0.0f);
    r.Translate(0.0f, 0.0f, 1.0f);
    const float* m = r.Top().m;
    EXPECT_NEAR(0.0f, m[12], 1e-5f);
    EXPECT_NEAR(1.0f, std::fabs(m[13]), 1e-5f) << "z moved along the rotated axis";
    EXPECT_NEAR(0.0f, m[14], 1e-5f);
    EXPECT_FLOAT_EQ(1.0f, m[15]);
}

TEST_F(RendererMath, PushPopScale) {
    r.Translate(1.0f, 2.0f, 3.0f);
    unsigned depth = r.StackDepth();
    r.PushMatrix();
    r.Scale(2.0f, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(2.0f, r.Top().m[0]);
    EXPECT_FLOAT_EQ(3.0f, r.Top().m[5]);
    EXPECT_FLOAT_EQ(4.0f, r.Top().m[10]);
    EXPECT_FLOAT_EQ(1.0f, r.Top().m[12]) << "scaling keeps the translation";
    r.PopMatrix();
    EXPECT_EQ(depth, r.StackDepth());
    EXPECT_FLOAT_EQ(1.0f, r.Top().m[0]);
    // Unbalanced pops stop at the base node.
    for (int i = 0; i < 5; ++i) r.PopMatrix();
    EXPECT_GE(r.StackDepth(), 1u);
    // Before Init there is no stack: the top is the identity.
    Renderer fresh;
    ASSERT_EQ(0u, fresh.StackDepth());
    EXPECT_FLOAT_EQ(1.0f, fresh.Top().m[0]);
    EXPECT_FLOAT_EQ(0.0f, fresh.Top().m[12]);
    EXPECT_FLOAT_EQ(1.0f, fresh.Top().m[15]);
}

TEST_F(RendererMath, MessagesReachTheInputTable) {
    g_input.Clear();
    HWND w = nullptr;
    EXPECT_TRUE(r.HandleMessage(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0));
    EXPECT_EQ(0, g_input.Get(INPUT_WHEEL));
    r.HandleMessage(w, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), 0);
    EXPECT_EQ(-1, g_input.Get(INPUT_WHEEL));
    r.HandleMessage(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(2, g_input.Get(INPUT_WHEEL));

    r.HandleMessage(w, WM_KEYDOWN, VK_RETURN, (LPARAM)(28 << 16));
    EXPECT_EQ(KEY_WENT_DOWN, g_input.Get(INPUT_KEY_ENTER));
    r.HandleMessage(w, WM_KEYDOWN, VK_RETURN, (LPARAM)((28 | 0x100) << 16));
    EXPECT_EQ(INPUT_KEY_ENTER, g_input.Get(INPUT_LAST_DOWN)) << "a second key in the frame waits";
    g_input.EndFrame();
    EXPECT_EQ(INPUT_EXTENDED_KEY + INPUT_KEY_ENTER, g_input.Get(INPUT_LAST_DOWN)) << "the keypad Enter";
    EXPECT_EQ(KEY_HELD, g_input.Get(INPUT_KEY_ENTER));

    r.HandleMessage(w, WM_MOUSEMOVE, 0, MAKELPARAM(400, 150));
    EXPECT_NEAR(0.0f, r.mouseView.x, 1e-6f);
    EXPECT_NEAR(0.5f, r.mouseView.y, 1e-6f);
    r.HandleMessage(w, WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(KEY_DOUBLE_CLICK, g_input.Get(INPUT_MOUSE_LEFT));
    EXPECT_FALSE(r.HandleMessage(w, WM_NULL, 0, 0));
    g_input.Clear();
}

TEST_F(RendererMath, ActivationAndFrameTimeCap) {
    r.HandleMessage(nullptr, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    EXPECT_FALSE(r.active) << "a minimised window is inactive";
    r.HandleMessage(nullptr, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    EXPECT_TRUE(r.active);
    r.defaultFrameTime = 1.0f / 35.0f;
    r.frameTime = 0.5f;
    EXPECT_FLOAT_EQ(1.0f / 35.0f, r.GetCappedFrameTime());
    r.frameTime = 0.01f;
    EXPECT_FLOAT_EQ(0.01f, r.GetCappedFrameTime());
    r.HandleMessage(nullptr, WM_SIZE, 0, MAKELPARAM(0, 0));
    Vector3 v = r.WindowToView(10, 10);
    EXPECT_FALSE(std::isnan(v.x) || std::isnan(v.y)) << "a minimised window gives no NaN";
}

}  // namespace
