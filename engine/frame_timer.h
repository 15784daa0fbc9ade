// The clock of the animated scenes: seconds since start that stand still
// while the game is paused, with nested pauses.
//
// Times are kept as unsigned millisecond ticks and compared by unsigned
// difference, so the clock keeps its precision on a machine that has been
// up for weeks and does not break when the tick count wraps.
#pragma once
#include <cstdint>

class FrameTimer {
public:
    FrameTimer();
    ~FrameTimer();

    void Reset();
    void Tick();
    void Pause();
    void Resume();

    float Elapsed() const { return elapsed; }
    int PauseCount() const { return pauseCount; }
    bool IsPaused() const { return pauseCount != 0; }

    // The tick source; tests replace it to drive the clock.
    static uint32_t (*TickSource)();

private:
    int pauseCount = 0;
    uint32_t pauseStart = 0;
    float elapsed = 0.0f;
    uint32_t start = 0;
    int64_t frequency = 1000;
    int64_t lastCounter = 0;
};

// The timer of the scene being shown, or null.
extern FrameTimer* g_currentTimer;
