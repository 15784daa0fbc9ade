#include "renderer_d3d9.h"

#include "renderer.h"

static RendererDevice s_device;

// Whoever takes the device to draw on it directly comes after what the
// batch holds.
IDirect3DDevice9* GetD3DDevice() {
    if (!g_renderer.device) return nullptr;
    FlushD3DBatch(g_renderer.device);
    return g_renderer.device->device;
}

RendererDevice* GetD3DState() { return g_renderer.device && g_renderer.device->device ? g_renderer.device : nullptr; }

bool Renderer::DrawsOneToOne() const { return false; }

Vector3 Renderer::PictureBoxScale() const { return Vector3{1.0f, 1.0f, 1.0f}; }

const char* Renderer::DeviceName() const { return "D3D"; }

const char* Renderer::FrameRateFormat() const {
    return "D3D FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms";
}

static void SetProjection(IDirect3DDevice9* dev, const Vector3& view) {
    D3DMATRIX p = {};
    p._11 = 2.0f / view.x;
    p._22 = 2.0f / view.y;
    p._33 = -1.0f / view.z;
    p._43 = 1.0f;
    p._44 = 1.0f;
    dev->SetTransform(D3DTS_PROJECTION, &p);
}

// The global alpha reaches every draw as the texture factor: it scales the
// texture's alpha and leaves its colour alone.
static void SetRenderStates(IDirect3DDevice9* dev, DWORD alphaFactor) {
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
    dev->SetRenderState(D3DRS_ALPHAREF, 0);
    dev->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, alphaFactor);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    dev->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    dev->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    dev->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

bool Renderer::DeviceInit(bool verticalSync) {
    device = &s_device;
    RendererDevice& d = s_device;
    d.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d.d3d) {
        SetError("Failed to create direct3D.");
        return false;
    }
    DWORD behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DCAPS9 caps;
    if (FAILED(d.d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)))
        SetError("Failed to get direct3d capabilities.");
    else if (caps.VertexProcessingCaps != 0)
        behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING;

    D3DPRESENT_PARAMETERS& pp = d.present;
    ZeroMemory(&pp, sizeof(pp));
    pp.BackBufferWidth = clientWidth;
    pp.BackBufferHeight = clientHeight;
    pp.BackBufferFormat = D3DFMT_A8R8G8B8;
    pp.BackBufferCount = 0;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.MultiSampleQuality = 0;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = 0;
    pp.FullScreen_RefreshRateInHz = 0;
    pp.PresentationInterval = verticalSync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;

    if (FAILED(d.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour, &pp, &d.device))) {
        d.device = nullptr;
        SetError("Failed to create direct3D device.");
        return false;
    }
    SetProjection(d.device, viewSize);
    d.ForgetBindings();

    static const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {1, 0, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    if (FAILED(d.device->CreateVertexDeclaration(elements, &d.declaration))) {
        d.declaration = nullptr;
        SetError("Failed to create direct3D mesh declaration.");
        return false;
    }
    SetRenderStates(d.device, d.alphaFactor);
    return true;
}

void ReleaseD3DFrameEvent(RendererDevice* d) {
    if (d->frameDone) d->frameDone->Release();
    d->frameDone = nullptr;
}

void Renderer::DeviceShutdown() {
    RendererDevice& d = s_device;
    ReleaseD3DFrameEvent(&d);
    if (d.declaration) d.declaration->Release();
    if (d.device) d.device->Release();
    if (d.d3d) d.d3d->Release();
    d.declaration = nullptr;
    d.ForgetBindings();
    d.device = nullptr;
    d.d3d = nullptr;
    d.batching = 0;
    d.batchVertices = 0;
    d.batchTexture = nullptr;
    device = nullptr;
}

bool Renderer::DeviceReady() const { return s_device.device != nullptr; }

void Renderer::ResetDevice() {
    RendererDevice& d = s_device;
    if (!d.device) return;
    // The result is not examined: a failed reset is tried again next frame.
    d.batchVertices = 0;  // a lost device draws nothing anyway
    ReleaseD3DFrameEvent(&d);
    d.device->Reset(&d.present);
    d.ForgetBindings();
    SetProjection(d.device, viewSize);
    SetRenderStates(d.device, d.alphaFactor);
    DeviceSetCullMode(cullMode);
    DeviceSetDepthTest(depthPasses > 0);
}

void Renderer::SetVerticalSync(bool on) {
    s_device.present.PresentationInterval = on ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
}

bool Renderer::CanSetVerticalSync() const {
    D3DCAPS9 caps;
    if (!s_device.d3d || FAILED(s_device.d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return true;
    return (caps.PresentationIntervals & D3DPRESENT_INTERVAL_ONE) != 0;
}

void Renderer::DeviceRestoreIfLost() {
    if (s_device.device && s_device.device->TestCooperativeLevel() != D3D_OK) ResetDevice();
}

bool Renderer::DeviceBeginScene() {
    IDirect3DDevice9* dev = s_device.device;
    if (!dev) return false;
    // The depth buffer is cleared by each depth pass that uses it.
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    s_device.ForgetBindings();
    return SUCCEEDED(dev->BeginScene());
}

void Renderer::DeviceEndScene() {
    FlushD3DBatch(&s_device);
    if (s_device.device) s_device.device->EndScene();
}

void Renderer::DeviceBeginBatch() { s_device.batching = 1; }

void Renderer::DeviceEndBatch() {
    FlushD3DBatch(&s_device);
    s_device.batching = 0;
}

void Renderer::DevicePresent() {
    RendererDevice& d = s_device;
    if (!d.device) return;
    // The frame before this one is done before this one is handed over.
    // A few frames' worth at most: a device that never answers (lost,
    // say) does not hold the game.
    for (int waited = 0; d.frameDone && waited < 100; ++waited) {
        if (d.frameDone->GetData(nullptr, 0, D3DGETDATA_FLUSH) != S_FALSE) break;
        Sleep(1);
    }
    d.device->Present(nullptr, nullptr, nullptr, nullptr);
    if (!d.frameDone && FAILED(d.device->CreateQuery(D3DQUERYTYPE_EVENT, &d.frameDone))) d.frameDone = nullptr;
    if (d.frameDone && FAILED(d.frameDone->Issue(D3DISSUE_END))) ReleaseD3DFrameEvent(&d);
}

bool Renderer::DeviceSetGlobalAlpha(float alpha) {
    RendererDevice& d = s_device;
    FlushD3DBatch(&d);
    if (!(alpha > 0.0f)) alpha = 0.0f;  // also catches NaN
    if (alpha > 1.0f) alpha = 1.0f;
    DWORD a = (DWORD)(int)(alpha * 255.0f);
    DWORD factor = (a << 24) | 0x00FFFFFF;
    if (!d.device) return false;
    if (factor != d.alphaFactor) {
        d.alphaFactor = factor;
        d.device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    }
    return true;
}

void Renderer::DeviceSetDepthTest(bool on) {
    FlushD3DBatch(&s_device);
    IDirect3DDevice9* dev = s_device.device;
    if (!dev) return;
    if (on) dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    dev->SetRenderState(D3DRS_ZENABLE, on ? D3DZB_TRUE : D3DZB_FALSE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, on ? TRUE : FALSE);
}

// The back buffer keeps the size it was made with; Present stretches it.
void Renderer::DeviceResize() {}

void Renderer::DeviceSetCullMode(CullMode mode) {
    FlushD3DBatch(&s_device);
    IDirect3DDevice9* dev = s_device.device;
    if (dev) dev->SetRenderState(D3DRS_CULLMODE, mode == kCullCounterClockwise ? D3DCULL_CCW : D3DCULL_CW);
}
