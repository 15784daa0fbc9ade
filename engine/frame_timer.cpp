#include "frame_timer.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <ctime>

static uint32_t SystemTicks() { return (uint32_t)timeGetTime(); }

uint32_t (*FrameTimer::TickSource)() = SystemTicks;
FrameTimer* g_currentTimer = nullptr;

FrameTimer::FrameTimer() {
    LARGE_INTEGER f;
    frequency = QueryPerformanceFrequency(&f) && f.QuadPart ? f.QuadPart : 1000;
    start = TickSource();
    Reset();
}

FrameTimer::~FrameTimer() {
    if (g_currentTimer == this) g_currentTimer = nullptr;
}

void FrameTimer::Reset() {
    elapsed = 0.0f;
    start = TickSource();
    LARGE_INTEGER c;
    lastCounter = QueryPerformanceCounter(&c) ? c.QuadPart : 0;
    pauseCount = 0;
    std::srand((unsigned)std::time(nullptr));
}

void FrameTimer::Tick() {
    if (pauseCount == 0) elapsed = (float)(uint32_t)(TickSource() - start) / 1000.0f;
    LARGE_INTEGER c;
    if (QueryPerformanceCounter(&c)) lastCounter = c.QuadPart;
}

void FrameTimer::Pause() {
    if (pauseCount == 0) pauseStart = TickSource();
    // Saturate rather than overflow on absurdly deep nesting.
    if (pauseCount < (1 << 29)) pauseCount = pauseCount * 2 + 1;
}

void FrameTimer::Resume() {
    if (pauseCount == 0) return;
    pauseCount /= 2;
    if (pauseCount == 0) start += TickSource() - pauseStart;
}
