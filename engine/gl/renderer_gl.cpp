// The renderer's device half on OpenGL 1.2 through WGL: the rendering
// context, the fixed state, the orthographic view and presentation. The
// world matrices stay in the shared matrix stack; each mesh draw loads the
// top of it as the modelview matrix.
#include "renderer_gl.h"

#include <cstdint>

#include "renderer.h"

static RendererDevice s_device;

SwapIntervalSetter g_wglSwapIntervalEXT = nullptr;
SwapIntervalGetter g_wglGetSwapIntervalEXT = nullptr;

bool Renderer::DrawsOneToOne() const { return false; }

Vector3 Renderer::PictureBoxScale() const { return Vector3{1.0f, 1.0f, 1.0f}; }

const char* Renderer::DeviceName() const { return "GL"; }

const char* Renderer::FrameRateFormat() const {
    return "GL FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms";
}

bool GLContextCurrent() { return s_device.context && wglGetCurrentContext() == s_device.context; }

// Some drivers answer an unknown name with a small number instead of null.
static bool ValidProc(PROC p) {
    intptr_t v = reinterpret_cast<intptr_t>(p);
    return p && v != 1 && v != 2 && v != 3 && v != -1;
}

template <typename T>
static T LookUp(const char* name) {
    PROC p = wglGetProcAddress(name);
    return ValidProc(p) ? reinterpret_cast<T>(reinterpret_cast<void (*)()>(p)) : nullptr;
}

bool LoadSwapIntervalExtension() {
    g_wglSwapIntervalEXT = LookUp<SwapIntervalSetter>("wglSwapIntervalEXT");
    g_wglGetSwapIntervalEXT = LookUp<SwapIntervalGetter>("wglGetSwapIntervalEXT");
    return true;
}

// Everything is blended by its alpha, fully transparent texels are dropped,
// back faces are culled; no depth test until a scene control asks for it.
// The view: x right, y up, origin in the middle; z from 0 (far) to the view
// depth (near).
static void SetFixedState(const Vector3& view, unsigned width, unsigned height) {
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NOTEQUAL, 0.0f);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-view.x / 2.0f, view.x / 2.0f, -view.y / 2.0f, view.y / 2.0f, -view.z, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, (GLsizei)width, (GLsizei)height);
    glLoadIdentity();
}

bool Renderer::DeviceInit(bool verticalSync) {
    RendererDevice& d = s_device;
    // A context made for another window is no use here.
    if (d.context && d.dcWindow != window) DeviceShutdown();
    device = &s_device;
    if (!d.context) {
        // GetDC of no window is the whole screen's: never draw there.
        HDC dc = window && IsWindow(window) ? GetDC(window) : nullptr;
        if (!dc) {
            SetError("Cannot access device context.");
            return false;
        }
        d.dc = dc;
        d.dcWindow = window;

        PIXELFORMATDESCRIPTOR pfd;
        ZeroMemory(&pfd, sizeof(pfd));
        pfd.nSize = sizeof(pfd);
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 24;
        pfd.cDepthBits = 8;
        pfd.iLayerType = PFD_MAIN_PLANE;
        // A window takes a pixel format only once; one set before stays.
        bool formatSet = GetPixelFormat(dc) != 0;
        if (!formatSet) {
            int format = ChoosePixelFormat(dc, &pfd);
            formatSet = format != 0 && SetPixelFormat(dc, format, &pfd);
        }
        if (!formatSet) {
            SetError("Cannot set an OpenGL pixel format on the window.");
            return false;
        }
        HGLRC context = wglCreateContext(dc);
        if (!context || !wglMakeCurrent(dc, context)) {
            if (context) wglDeleteContext(context);
            SetError("Cannot create the OpenGL rendering context.");
            return false;
        }
        d.context = context;
    } else if (wglGetCurrentContext() != d.context) {
        wglMakeCurrent(d.dc, d.context);
    }

    SetFixedState(viewSize, clientWidth, clientHeight);
    LoadSwapIntervalExtension();
    SetVerticalSync(verticalSync);
    return true;
}

void Renderer::DeviceShutdown() {
    RendererDevice& d = s_device;
    if (wglGetCurrentContext()) wglMakeCurrent(nullptr, nullptr);
    if (d.context) wglDeleteContext(d.context);
    // A class device context (the game's window) ignores the release.
    if (d.dc && d.dcWindow && IsWindow(d.dcWindow)) ReleaseDC(d.dcWindow, d.dc);
    d.context = nullptr;
    d.dc = nullptr;
    d.dcWindow = nullptr;
    // The entry points belonged to that context's driver.
    g_wglSwapIntervalEXT = nullptr;
    g_wglGetSwapIntervalEXT = nullptr;
    device = nullptr;
}

bool Renderer::DeviceReady() const { return GLContextCurrent() && wglGetCurrentDC() != nullptr; }

// Nothing is lost with OpenGL; only the state is set again, as a reset of
// the other devices does.
void Renderer::ResetDevice() {
    if (!GLContextCurrent()) return;
    SetFixedState(viewSize, clientWidth, clientHeight);
    DeviceSetCullMode(cullMode);
    DeviceSetDepthTest(depthPasses > 0);
}

void Renderer::SetVerticalSync(bool on) {
    if (g_wglSwapIntervalEXT && GLContextCurrent()) g_wglSwapIntervalEXT(on ? 1 : 0);
}

// Without the extension the driver's own setting stands.
bool Renderer::CanSetVerticalSync() const { return g_wglSwapIntervalEXT != nullptr; }

void Renderer::DeviceRestoreIfLost() {}

bool Renderer::DeviceBeginScene() {
    if (!GLContextCurrent()) return false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void Renderer::DeviceEndScene() {}

void Renderer::DevicePresent() {
    if (GLContextCurrent()) SwapBuffers(wglGetCurrentDC());
}

bool Renderer::DeviceSetGlobalAlpha(float alpha) {
    if (!GLContextCurrent()) return false;
    if (!(alpha > 0.0f)) alpha = 0.0f;  // also catches NaN
    if (alpha > 1.0f) alpha = 1.0f;
    // With the modulating texture stage this fades the colour as well.
    glColor4f(alpha, alpha, alpha, alpha);
    return true;
}

void Renderer::DeviceSetDepthTest(bool on) {
    if (!GLContextCurrent()) return;
    if (on) {
        glDepthMask(GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
    }
}

// The view stays the same size in view units, stretched over the whole
// client area as it is now.
void Renderer::DeviceResize() {
    if (GLContextCurrent()) glViewport(0, 0, (GLsizei)clientWidth, (GLsizei)clientHeight);
}

// A mirrored copy shows both faces of what it draws: culling goes off and
// both faces are filled; afterwards front faces are filled and the back
// faces (clockwise on screen) culled again.
void Renderer::DeviceSetCullMode(CullMode mode) {
    if (!GLContextCurrent()) return;
    if (mode == kCullCounterClockwise) {
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    } else {
        glPolygonMode(GL_FRONT, GL_FILL);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
}

// Client arrays cost little per draw here: nothing is gathered.
void Renderer::DeviceBeginBatch() {}
void Renderer::DeviceEndBatch() {}
