#include "renderer.h"

#include <windowsx.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input_state.h"
#include "sound_system.h"
#include "strings.h"

Renderer g_renderer;

Renderer::Renderer() { error[0] = 0; }

Renderer::~Renderer() { stack.Clear(); }

void Renderer::SetError(const char* text) { CopyString(error, sizeof(error), text); }

bool Renderer::Init(HWND w, const Vector3& size, bool verticalSync, bool) {
    viewSize = size;
    window = w;
    mouseView = WindowToView(g_input.Get(INPUT_MOUSE_X), g_input.Get(INPUT_MOUSE_Y));
    if (!DeviceInit(verticalSync)) return false;
    stack.Clear();
    stack.Append(Matrix4::Identity());
    LARGE_INTEGER f, c;
    frequency = QueryPerformanceFrequency(&f) && f.QuadPart ? f.QuadPart : 1000;
    previousCounter = QueryPerformanceCounter(&c) ? c.QuadPart : GetTickCount();
    SetGlobalAlpha(1.0f);
    depthPasses = 0;
    batches = 0;
    DeviceSetDepthTest(false);
    cullMode = kCullClockwise;
    DeviceSetCullMode(cullMode);
    // Measuring runs ask for a line a second with the frames drawn in it.
    const char* logPath = std::getenv("QUORVANE_FRAME_LOG");
    if (logPath && *logPath && !frameLog) frameLog = std::fopen(logPath, "a");
    loggedFrames = 0;
    loggedCounter = previousCounter;
    return true;
}

void Renderer::Shutdown() {
    if (frameLog) std::fclose(static_cast<FILE*>(frameLog));
    frameLog = nullptr;
    stack.Clear();
    DeviceShutdown();
}

bool PumpMessages() {
    MSG msg;
    HWND only = g_renderer.pumpsOwnWindowOnly ? g_renderer.window : nullptr;
    while (PeekMessageA(&msg, only, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (msg.message == WM_QUIT) return false;
    }
    return true;
}

int64_t Renderer::Counter() const {
    LARGE_INTEGER c;
    return QueryPerformanceCounter(&c) ? c.QuadPart : GetTickCount();
}

void Renderer::MeasureFrameTime() {
    LARGE_INTEGER c;
    currentCounter = QueryPerformanceCounter(&c) ? c.QuadPart : GetTickCount();
    frameTime = frequency ? (float)((double)(currentCounter - previousCounter) / (double)frequency) : 0.0f;
    previousCounter = currentCounter;
}

bool Renderer::RunFrame() {
    if (!PumpMessages()) return false;
    MeasureFrameTime();
    if (!active) {
        Sleep(10);
        return true;
    }
    DeviceRestoreIfLost();
    if (updatePass) updatePass();
    if (DeviceBeginScene()) {
        // The whole pass may be gathered by the device (Renderer::BeginBatch).
        BeginBatch();
        if (drawPass) drawPass();
        EndBatch();
        DeviceEndScene();
    }
    DevicePresent();
    g_input.EndFrame();
    ++frameCounter;
    if (frameLog) LogFrameRate();
    return true;
}

void Renderer::LogFrameRate() {
    if (frameCounter == 1) {
        // When the first frame was shown, as milliseconds of the Unix epoch,
        // for measuring the start-up from outside.
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        uint64_t ticks = ((uint64_t)now.dwHighDateTime << 32) | now.dwLowDateTime;
        std::fprintf(static_cast<FILE*>(frameLog), "first frame %llu\n",
                     (unsigned long long)(ticks / 10000ULL - 11644473600000ULL));
    }
    ++loggedFrames;
    int64_t elapsed = currentCounter - loggedCounter;
    if (frequency <= 0 || elapsed < frequency) return;
    std::fprintf(static_cast<FILE*>(frameLog), "%.1f\n", (double)loggedFrames * (double)frequency / (double)elapsed);
    if (avatarsDrawn) {
        // Avatars a frame, then milliseconds per avatar: skinning, drawing.
        const double perAvatar = 1000.0 / (double)frequency / (double)avatarsDrawn;
        std::fprintf(static_cast<FILE*>(frameLog), "avatars %.2f skin %.3f draw %.3f\n",
                     (double)avatarsDrawn / (double)loggedFrames, (double)avatarSkinTicks * perAvatar,
                     (double)avatarDrawTicks * perAvatar);
    }
    avatarSkinTicks = avatarDrawTicks = 0;
    avatarsDrawn = 0;
    std::fflush(static_cast<FILE*>(frameLog));
    loggedFrames = 0;
    loggedCounter = currentCounter;
}

float Renderer::GetCappedFrameTime() const {
    return defaultFrameTime < frameTime ? defaultFrameTime : frameTime;
}

Vector3 Renderer::WindowToView(int x, int y) const {
    Vector3 v = {0.0f, 0.0f, 0.0f};
    // A minimised window has no client area; keep the view origin then.
    if (clientWidth == 0 || clientHeight == 0) return v;
    v.x = ((float)(unsigned)x / (float)clientWidth - 0.5f) * viewSize.x;
    v.y = -((float)(unsigned)y / (float)clientHeight - 0.5f) * viewSize.y;
    return v;
}

void Renderer::SetActive(bool on) {
    if (active && !on) {
        deactivationTick = GetTickCount();
        g_soundSystem.PauseAll();
    } else if (!active && on) {
        g_soundSystem.ResumeAll();
        if (window) SetFocus(window);
    }
    active = on;
}

void Renderer::Resize(unsigned width, unsigned height) {
    clientWidth = width;
    clientHeight = height;
    DeviceResize();
}

void Renderer::PressAt(LPARAM lParam, int button, int edge) {
    if ((int)LOWORD(lParam) != g_input.Get(INPUT_MOUSE_X) || (int)HIWORD(lParam) != g_input.Get(INPUT_MOUSE_Y)) {
        g_input.Set(INPUT_MOUSE_X, LOWORD(lParam));
        g_input.Set(INPUT_MOUSE_Y, HIWORD(lParam));
        mouseView = WindowToView(g_input.Get(INPUT_MOUSE_X), g_input.Get(INPUT_MOUSE_Y));
    }
    g_input.Post(button, edge);
}

bool Renderer::HandleMessage(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        Resize(LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_ACTIVATE:
        SetActive(LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0);
        ShowCursor(TRUE);
        return true;
    case WM_PAINT:
        ValidateRgn(w, nullptr);
        return true;
    case WM_CLOSE:
        PostMessageA(w, WM_QUIT, 0, 0);
        return true;
    case WM_ERASEBKGND:
        if (!DeviceReady()) return false;
        if (!active) DevicePresent();  // keep the last frame on screen
        return true;
    // Keys by scan code, plus INPUT_EXTENDED_KEY for an extended key.
    case WM_KEYDOWN:
        g_input.Post((int)((lParam >> 16) & 0x1FF), KEY_WENT_DOWN);
        return true;
    case WM_KEYUP:
        g_input.Post((int)((lParam >> 16) & 0x1FF), KEY_WENT_UP);
        return true;
    case WM_CHAR:
        g_input.Post(INPUT_CHAR, (int)wParam);
        return true;
    case WM_MOUSEMOVE:
        g_input.Set(INPUT_MOUSE_X, LOWORD(lParam));
        g_input.Set(INPUT_MOUSE_Y, HIWORD(lParam));
        mouseView = WindowToView(g_input.Get(INPUT_MOUSE_X), g_input.Get(INPUT_MOUSE_Y));
        return true;
    // A press or a double click carries where it happened, whichever the
    // button: a tap may bring no move of its own before it.
    case WM_LBUTTONDOWN: PressAt(lParam, INPUT_MOUSE_LEFT, KEY_WENT_DOWN); return true;
    case WM_LBUTTONUP: g_input.Post(INPUT_MOUSE_LEFT, KEY_WENT_UP); return true;
    case WM_LBUTTONDBLCLK: PressAt(lParam, INPUT_MOUSE_LEFT, KEY_DOUBLE_CLICK); return true;
    case WM_RBUTTONDOWN: PressAt(lParam, INPUT_MOUSE_RIGHT, KEY_WENT_DOWN); return true;
    case WM_RBUTTONUP: g_input.Post(INPUT_MOUSE_RIGHT, KEY_WENT_UP); return true;
    case WM_RBUTTONDBLCLK: PressAt(lParam, INPUT_MOUSE_RIGHT, KEY_DOUBLE_CLICK); return true;
    case WM_MBUTTONDOWN: PressAt(lParam, INPUT_MOUSE_MIDDLE, KEY_WENT_DOWN); return true;
    case WM_MBUTTONUP: g_input.Post(INPUT_MOUSE_MIDDLE, KEY_WENT_UP); return true;
    case WM_MBUTTONDBLCLK: PressAt(lParam, INPUT_MOUSE_MIDDLE, KEY_DOUBLE_CLICK); return true;
    case WM_MOUSEWHEEL:
        g_input.Set(INPUT_WHEEL, (short)HIWORD(wParam) / WHEEL_DELTA);
        return true;
    default:
        return false;
    }
}

const Matrix4& Renderer::Top() const {
    static const Matrix4 identity = Matrix4::Identity();
    if (stack.Count() == 0) return identity;
    return *const_cast<MatrixStack&>(stack).At(stack.Count() - 1);
}

void Renderer::PushMatrix() {
    Matrix4 top = stack.Count() ? Top() : Matrix4::Identity();
    stack.Append(top);
}

void Renderer::PopMatrix() {
    // The base node stays: an unbalanced pop must not leave drawing without
    // a current matrix.
    if (stack.Count() > 1) stack.RemoveAt(stack.Count() - 1);
}

void Renderer::Translate(float x, float y, float z) {
    if (stack.Count() == 0) return;
    float* m = stack.At(stack.Count() - 1)->m;
    for (int c = 0; c < 3; ++c) m[12 + c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
}

void Renderer::Rotate(float angle, float x, float y, float z) {
    if (stack.Count() == 0) return;
    float* m = stack.At(stack.Count() - 1)->m;
    float a = angle * 0.017453292f;
    float c = std::cos(a), s = std::sin(a), t = 1.0f - c;
    float r[3][3] = {
        {t * x * x + c, t * x * y + s * z, t * x * z - s * y},
        {t * x * y - s * z, t * y * y + c, t * y * z + s * x},
        {t * x * z + s * y, t * y * z - s * x, t * z * z + c},
    };
    float rows[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rows[i][j] = m[i * 4 + j];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            m[i * 4 + j] = r[i][0] * rows[0][j] + r[i][1] * rows[1][j] + r[i][2] * rows[2][j];
        m[i * 4 + 3] = 0.0f;
    }
    m[15] = 1.0f;
}

void Renderer::Scale(float x, float y, float z) {
    if (stack.Count() == 0) return;
    float* m = stack.At(stack.Count() - 1)->m;
    const float f[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i * 4 + j] *= f[i];
}

void Renderer::SetGlobalAlpha(float alpha) { DeviceSetGlobalAlpha(alpha); }

void Renderer::BeginDepthPass() {
    if (depthPasses++ == 0) DeviceSetDepthTest(true);
}

void Renderer::EndDepthPass() {
    // An end without its begin changes nothing.
    if (depthPasses == 0) return;
    if (--depthPasses == 0) DeviceSetDepthTest(false);
}

void Renderer::SetCullMode(CullMode mode) {
    if (mode != kCullClockwise && mode != kCullCounterClockwise) mode = kCullClockwise;
    cullMode = mode;
    DeviceSetCullMode(mode);
}

void Renderer::BeginBatch() {
    if (batches++ == 0) DeviceBeginBatch();
}

void Renderer::EndBatch() {
    if (batches == 0) return;
    if (--batches == 0) DeviceEndBatch();
}
