// The drawing device and owner of the frame loop and the window's messages.
//
// One set of operations serves every game library; each library links one
// device implementation (the Device* members, in its own folder), so the
// device calls stay out of this shared code.
#pragma once
#include <windows.h>

#include <cstdint>

#include "indexed_list.h"
#include "math3d.h"

// A stack of world matrices: the tail is the current matrix, "the top".
typedef IndexedList<Matrix4> MatrixStack;

struct RendererDevice;  // defined by the device implementation

// Which triangles the device leaves out. Models are wound so that their
// back faces turn clockwise on screen; a mirrored copy (a reflection) turns
// them the other way and culls counter-clockwise while it is drawn (the
// OpenGL device draws both faces of a mirrored copy).
enum CullMode { kCullClockwise = 0, kCullCounterClockwise = 1 };

class Renderer {
public:
    Renderer();
    ~Renderer();

    bool Init(HWND window, const Vector3& viewSize, bool verticalSync, bool unused);
    bool RunFrame();
    void Shutdown();
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The window's new client size (WM_SIZE): kept for the view mapping,
    // and the devices that draw into the window as it is now stretch the
    // view over it at once.
    void Resize(unsigned width, unsigned height);
    void SetActive(bool active);
    Vector3 WindowToView(int x, int y) const;
    float GetCappedFrameTime() const;

    void PushMatrix();
    void PopMatrix();
    void Translate(float x, float y, float z);
    void Rotate(float angle, float x, float y, float z);
    void Scale(float x, float y, float z);
    void SetGlobalAlpha(float alpha);
    void ResetDevice();
    // Stores the presentation interval that the next device reset uses.
    void SetVerticalSync(bool on);
    // Whether the device lets vertical sync be switched while running.
    bool CanSetVerticalSync() const;

    // Geometry drawn between these two is depth-tested against itself: the
    // begin clears the depth buffer and turns depth test and writes on, the
    // end turns them off again. The rest of the GUI draws without depth.
    // Nested begins count; only the outermost pair reaches the device.
    void BeginDepthPass();
    void EndDepthPass();
    bool InDepthPass() const { return depthPasses > 0; }
    // Kept across device resets; kCullClockwise after Init.
    void SetCullMode(CullMode mode);
    CullMode GetCullMode() const { return cullMode; }
    // Between these two the device may gather small meshes drawn with one
    // texture and draw them together, in order; the renderer's own state
    // changes (alpha, depth, culling) draw what is gathered first, and so
    // does the end. Every frame's draw pass runs inside one such batch.
    void BeginBatch();
    void EndBatch();
    // True when the device draws every image 1:1 at screen pixels (the
    // Lite's blitter): sizes in view units then follow the client size.
    bool DrawsOneToOne() const;
    // How much larger than its model's box a picture stands on screen, in
    // view units: 1 for a device that draws models at their size; for one
    // that draws 1:1, the client size against the size its pictures were
    // made for (1 while there is no client area, as when minimised).
    Vector3 PictureBoxScale() const;
    // The device's short name, for the frame-rate label: "D3D", "GL", "DDRAW".
    const char* DeviceName() const;
    // The "fps" control's label: the device name, then " FPS: %.0f,
    // FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms".
    const char* FrameRateFormat() const;

    // The game hooks its per-frame update and draw passes in here.
    typedef void (*FramePass)();
    void SetFramePasses(FramePass update, FramePass draw) {
        updatePass = update;
        drawPass = draw;
    }

    // The current matrix; the identity while the stack is empty (before Init).
    const Matrix4& Top() const;
    unsigned StackDepth() const { return stack.Count(); }
    const char* GetError() const { return error; }

    // Measuring runs (the frame log) also count what the skinned avatars
    // cost: Measuring() says whether anybody listens, Counter() reads the
    // clock, NoteAvatar() adds one avatar's skinning and drawing time.
    bool Measuring() const { return frameLog != nullptr; }
    int64_t Counter() const;
    void NoteAvatar(int64_t skinTicks, int64_t drawTicks) {
        avatarSkinTicks += skinTicks;
        avatarDrawTicks += drawTicks;
        ++avatarsDrawn;
    }

    uint32_t frameCounter = 0;
    float frameTime = 0.0f;
    float defaultFrameTime = 0.0f;
    DWORD deactivationTick = 0;
    unsigned clientWidth = 0;
    unsigned clientHeight = 0;
    Vector3 viewSize = {0.0f, 0.0f, 0.0f};
    Vector3 mouseView = {0.0f, 0.0f, 0.0f};
    bool active = true;
    HWND window = nullptr;
    RendererDevice* device = nullptr;
    // The frame takes only the game window's messages (the 2D device sets
    // it); otherwise every message of the thread.
    bool pumpsOwnWindowOnly = false;
    // While set, a device that draws images 1:1 draws them upside down in
    // place (a mirrored copy, such as a reflection under a picture).
    bool mirrorRows = false;

private:
    void SetError(const char* text);
    void MeasureFrameTime();
    // A button's press or double click at the message's place: the pointer
    // moves there first when it was elsewhere.
    void PressAt(LPARAM lParam, int button, int edge);

    // Device implementation (one per library).
    bool DeviceInit(bool verticalSync);
    void DeviceShutdown();
    bool DeviceReady() const;
    void DeviceRestoreIfLost();
    bool DeviceBeginScene();
    void DeviceEndScene();
    void DevicePresent();
    bool DeviceSetGlobalAlpha(float alpha);
    void DeviceSetDepthTest(bool on);
    void DeviceSetCullMode(CullMode mode);
    void DeviceResize();
    void DeviceBeginBatch();
    void DeviceEndBatch();
    void LogFrameRate();

    MatrixStack stack;
    int64_t frequency = 0;
    int64_t previousCounter = 0;
    int64_t currentCounter = 0;
    FramePass updatePass = nullptr;
    FramePass drawPass = nullptr;
    int depthPasses = 0;
    int batches = 0;
    CullMode cullMode = kCullClockwise;
    // Frame-rate log (QUORVANE_FRAME_LOG names the file): frames counted
    // since the last line and the counter value of that line.
    void* frameLog = nullptr;
    uint32_t loggedFrames = 0;
    int64_t loggedCounter = 0;
    int64_t avatarSkinTicks = 0;
    int64_t avatarDrawTicks = 0;
    uint32_t avatarsDrawn = 0;
    char error[1024];
};

// Takes every queued message (only the game window's when the renderer
// asks so); false when the quit message was among them.
bool PumpMessages();

extern Renderer g_renderer;
