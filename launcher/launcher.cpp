#include "launcher.h"

#include <aclapi.h>
#include <d3d9.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kLibraryOpenGL[] = "Quorvane-GL";
const char kLibraryDirect3D[] = "Quorvane-D3D";
const char kLibraryDirectDraw[] = "Quorvane-DDRAW";

namespace {

const char kProxyName[] = "Quorvane Proxy";
const char kOverrideFile[] = "Quorvane.txt";
const char kPublisher[] = "Tarrowick";
const char kProduct[] = "Quorvane Vellumine";
const char kStartError[] = "Error starting game!";

const int kCsidlCommonAppData = 0x23;
const DWORD kFullAccess = 0x1F01FF;

// Entry points of the libraries loaded at run time.
typedef HRESULT(__stdcall* SHGetFolderPathAProc)(HWND, int, HANDLE, DWORD, LPSTR);
typedef BOOL(__stdcall* AllocateAndInitializeSidProc)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD,
                                                      DWORD, DWORD, DWORD, DWORD, PSID*);
typedef DWORD(__stdcall* SetEntriesInAclAProc)(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL*);
typedef BOOL(__stdcall* InitializeSecurityDescriptorProc)(PSECURITY_DESCRIPTOR, DWORD);
typedef BOOL(__stdcall* SetSecurityDescriptorDaclProc)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
typedef PVOID(__stdcall* FreeSidProc)(PSID);
typedef HGLRC(__stdcall* WglCreateContextProc)(HDC);
typedef BOOL(__stdcall* WglMakeCurrentProc)(HDC, HGLRC);
typedef BOOL(__stdcall* WglDeleteContextProc)(HGLRC);
typedef const GLubyte*(__stdcall* GlGetStringProc)(GLenum);
typedef IDirect3D9*(__stdcall* Direct3DCreate9Proc)(UINT);

template <typename Proc>
Proc GetProc(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A security descriptor that gives Everyone and the Administrators full
// control, inherited by everything below, so that every user of the machine
// can write the saves. Whatever part of it was made is freed by Release.
struct OpenFolderSecurity {
    HMODULE advapi = nullptr;
    PSID everyone = nullptr;
    PSID administrators = nullptr;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{};

    // False when the system lacks a piece of it: the folders are then made
    // with default security, which is still better than no folder.
    bool Build() {
        advapi = LoadLibraryA("Advapi32.dll");
        if (!advapi) return false;

        auto allocateSid = GetProc<AllocateAndInitializeSidProc>(advapi, "AllocateAndInitializeSid");
        if (!allocateSid) return false;
        SID_IDENTIFIER_AUTHORITY worldAuthority = {SECURITY_WORLD_SID_AUTHORITY};
        SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
        if (!allocateSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return false;
        if (!allocateSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                         0, &administrators))
            return false;

        EXPLICIT_ACCESS_A entries[2];
        std::memset(entries, 0, sizeof(entries));
        PSID sids[2] = {everyone, administrators};
        TRUSTEE_TYPE types[2] = {TRUSTEE_IS_WELL_KNOWN_GROUP, TRUSTEE_IS_GROUP};
        for (int i = 0; i < 2; ++i) {
            entries[i].grfAccessPermissions = kFullAccess;
            entries[i].grfAccessMode = SET_ACCESS;
            entries[i].grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
            entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
            entries[i].Trustee.TrusteeType = types[i];
            entries[i].Trustee.ptstrName = static_cast<LPSTR>(sids[i]);
        }
        auto setEntries = GetProc<SetEntriesInAclAProc>(advapi, "SetEntriesInAclA");
        if (!setEntries || setEntries(2, entries, nullptr, &acl) != ERROR_SUCCESS) return false;

        descriptor = LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
        if (!descriptor) return false;
        auto initDescriptor = GetProc<InitializeSecurityDescriptorProc>(advapi, "InitializeSecurityDescriptor");
        if (!initDescriptor || !initDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
        auto setDacl = GetProc<SetSecurityDescriptorDaclProc>(advapi, "SetSecurityDescriptorDacl");
        if (!setDacl || !setDacl(descriptor, TRUE, acl, FALSE)) return false;

        attributes.nLength = sizeof(attributes);
        attributes.lpSecurityDescriptor = descriptor;
        attributes.bInheritHandle = FALSE;
        return true;
    }

    void Release() {
        FreeSidProc freeSid = advapi ? GetProc<FreeSidProc>(advapi, "FreeSid") : nullptr;
        if (freeSid) {
            if (everyone) freeSid(everyone);
            if (administrators) freeSid(administrators);
        }
        everyone = administrators = nullptr;
        if (acl) LocalFree(acl);
        if (descriptor) LocalFree(descriptor);
        acl = nullptr;
        descriptor = nullptr;
        if (advapi) FreeLibrary(advapi);
        advapi = nullptr;
    }
};

// A folder that exists afterwards; a file of that name does not count.
bool EnsureDirectory(const char* path, SECURITY_ATTRIBUTES* attributes) {
    if (CreateDirectoryA(path, attributes)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    DWORD found = GetFileAttributesA(path);
    return found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// snprintf that reports whether the whole text fitted.
template <typename... Args>
bool FormatPath(char* out, size_t size, const char* format, Args... args) {
    int n = std::snprintf(out, size, format, args...);
    return n >= 0 && static_cast<size_t>(n) < size;
}

void SetLibrary(char* name, size_t size, const char* library) {
    if (library) lstrcpynA(name, library, static_cast<int>(size));
}

}  // namespace

void VersionTriple::Parse(const char* text) {
    major = minor = release = 0;
    if (!text) return;
    // GL_VERSION may be followed by vendor text of any length: only the
    // start matters, and it must not run past the buffer.
    char buffer[128];
    lstrcpynA(buffer, text, sizeof(buffer));
    int* parts[3] = {&major, &minor, &release};
    char* token = std::strtok(buffer, ".");
    for (int i = 0; i < 3 && token; ++i) {
        *parts[i] = std::atoi(token);
        token = std::strtok(nullptr, ".");
    }
}

bool VersionTriple::IsLess(const VersionTriple& a, const VersionTriple& b) {
    if (a.major != b.major) return a.major < b.major;
    if (a.minor != b.minor) return a.minor < b.minor;
    return a.release < b.release;
}

bool IsGlVersionSupported(const char* versionText) {
    VersionTriple required, found;
    required.Parse("1.2.0");
    found.Parse(versionText);
    return !VersionTriple::IsLess(found, required);
}

bool IsVistaOrLater() {
    // The size field must match the structure passed, or the system writes
    // the extended fields past its end.
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwMajorVersion >= 6;
}

bool CreateSharedDataFolderIn(const char* base, const char* publisher, const char* product, char* out) {
    if (!out) return false;
    out[0] = '\0';
    if (!base || !*base || !publisher || !*publisher || !product || !*product) return false;

    char root[MAX_PATH];
    lstrcpynA(root, base, sizeof(root));
    size_t rootLength = std::strlen(root);
    if (rootLength > 0 && root[rootLength - 1] == '\\') root[rootLength - 1] = '\0';

    // The final text with its backslash must fit the caller's buffer, so
    // check it before anything is created.
    char publisherPath[MAX_PATH];
    char productPath[MAX_PATH];
    char result[kDataFolderSize];
    if (!FormatPath(publisherPath, sizeof(publisherPath), "%s\\%s", root, publisher) ||
        !FormatPath(productPath, sizeof(productPath), "%s\\%s\\%s", root, publisher, product) ||
        !FormatPath(result, sizeof(result), "%s\\", productPath))
        return false;

    OpenFolderSecurity security;
    SECURITY_ATTRIBUTES* attributes = security.Build() ? &security.attributes : nullptr;
    bool ok = EnsureDirectory(publisherPath, attributes) && EnsureDirectory(productPath, attributes);
    security.Release();

    if (ok) lstrcpynA(out, result, kDataFolderSize);
    return ok;
}

bool CreateSharedDataFolder(const char* publisher, const char* product, char* out) {
    if (!out) return false;
    out[0] = '\0';
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell) return false;
    char base[MAX_PATH] = {0};
    auto getFolderPath = GetProc<SHGetFolderPathAProc>(shell, "SHGetFolderPathA");
    bool found = getFolderPath &&
                 SUCCEEDED(getFolderPath(nullptr, kCsidlCommonAppData, reinterpret_cast<HANDLE>(-1), 0, base));
    FreeLibrary(shell);
    if (!found) return false;
    return CreateSharedDataFolderIn(base, publisher, product, out);
}

const char* LibraryForOverrideWord(const char* word) {
    if (!word) return nullptr;
    if (std::strcmp(word, "-opengl") == 0) return kLibraryOpenGL;
    if (std::strcmp(word, "-direct3d") == 0) return kLibraryDirect3D;
    if (std::strcmp(word, "-directdraw") == 0) return kLibraryDirectDraw;
    return nullptr;
}

const char* ReadOverrideFile(const char* path) {
    if (!path) return nullptr;
    FILE* file = std::fopen(path, "rt");
    if (!file) return nullptr;
    char word[256] = {0};
    int read = std::fscanf(file, "%255s", word);
    std::fclose(file);
    return read == 1 ? LibraryForOverrideWord(word) : nullptr;
}

const char* LibraryForCommandLine(const char* commandLine) {
    return LibraryForOverrideWord(commandLine);
}

void ApplyOverrides(char* name, size_t size, const char* overrideFile, const char* commandLine) {
    if (!name || size == 0) return;
    SetLibrary(name, size, ReadOverrideFile(overrideFile));
    SetLibrary(name, size, LibraryForCommandLine(commandLine));
}

HWND CreateProbeWindow(HINSTANCE instance) {
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof(windowClass));
    windowClass.style = CS_OWNDC | CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = kProxyName;
    windowClass.lpszClassName = kProxyName;
    // A class left over from an earlier try is fine, so the result is not checked.
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, kProxyName, kProxyName, WS_POPUP, 0, 0, 100, 100, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) UnregisterClassA(kProxyName, instance);
    return window;
}

void DestroyProbeWindow(HWND window, HINSTANCE instance) {
    if (window) DestroyWindow(window);
    UnregisterClassA(kProxyName, instance);
}

const char* ProbeOpenGL(HWND window) {
    if (!window) return nullptr;
    HMODULE gl = LoadLibraryA("opengl32.dll");
    if (!gl) return nullptr;
    auto createContext = GetProc<WglCreateContextProc>(gl, "wglCreateContext");
    auto makeCurrent = GetProc<WglMakeCurrentProc>(gl, "wglMakeCurrent");
    auto deleteContext = GetProc<WglDeleteContextProc>(gl, "wglDeleteContext");
    auto getString = GetProc<GlGetStringProc>(gl, "glGetString");
    HDC dc = (createContext && makeCurrent && deleteContext && getString) ? GetDC(window) : nullptr;
    if (!dc) {
        FreeLibrary(gl);
        return nullptr;
    }

    PIXELFORMATDESCRIPTOR format;
    std::memset(&format, 0, sizeof(format));
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 8;
    format.iLayerType = PFD_MAIN_PLANE;
    SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format);

    bool supported = false;
    HGLRC context = createContext(dc);
    if (context) {
        if (makeCurrent(dc, context)) {
            supported = IsGlVersionSupported(reinterpret_cast<const char*>(getString(GL_VERSION)));
            makeCurrent(nullptr, nullptr);
        }
        deleteContext(context);
    }
    ReleaseDC(window, dc);
    FreeLibrary(gl);
    return supported ? kLibraryOpenGL : nullptr;
}

const char* ProbeDirect3D9(HWND window) {
    if (!window) return nullptr;
    HMODULE d3d9 = LoadLibraryA("d3d9.dll");
    if (!d3d9) return nullptr;
    auto create = GetProc<Direct3DCreate9Proc>(d3d9, "Direct3DCreate9");
    IDirect3D9* d3d = create ? create(D3D_SDK_VERSION) : nullptr;
    if (!d3d) {
        FreeLibrary(d3d9);
        return nullptr;
    }

    DWORD behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DCAPS9 caps;
    std::memset(&caps, 0, sizeof(caps));
    if (SUCCEEDED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)) && caps.VertexProcessingCaps != 0)
        behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING;

    D3DPRESENT_PARAMETERS params;
    std::memset(&params, 0, sizeof(params));
    params.BackBufferWidth = 800;
    params.BackBufferHeight = 600;
    params.BackBufferFormat = D3DFMT_A8R8G8B8;
    params.BackBufferCount = 0;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    IDirect3DDevice9* device = nullptr;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour, &params, &device);
    bool supported = SUCCEEDED(hr) && device;
    if (device) device->Release();
    d3d->Release();
    FreeLibrary(d3d9);
    return supported ? kLibraryDirect3D : nullptr;
}

const char* ProbeDirectDraw() {
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw) return nullptr;
    FreeLibrary(ddraw);
    return kLibraryDirectDraw;
}

const char* ProbeRenderer(HWND window) {
    if (const char* library = ProbeOpenGL(window)) return library;
    if (const char* library = ProbeDirect3D9(window)) return library;
    return ProbeDirectDraw();
}

int RunLauncher(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine, int showCmd) {
    // One copy at a time: a second start leaves quietly.
    SECURITY_ATTRIBUTES mutexAttributes = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexA(&mutexAttributes, TRUE, kProxyName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        return 1;
    }
    auto finish = [mutex](int code) {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
        return code;
    };

    HWND window = CreateProbeWindow(instance);
    if (!window) {
        MessageBoxA(nullptr, "Error creating window", "Error", MB_OK);
        return finish(1);
    }
    const char* probed = ProbeRenderer(window);
    DestroyProbeWindow(window, instance);
    if (!probed) {
        MessageBoxA(nullptr, kStartError, "Error", MB_OK);
        return finish(1);
    }

    char name[kLibraryNameSize];
    std::memset(name, 0, sizeof(name));
    SetLibrary(name, sizeof(name), probed);
    ApplyOverrides(name, sizeof(name), kOverrideFile, commandLine);

    char fileName[kLibraryNameSize + 8];
    std::snprintf(fileName, sizeof(fileName), "%s.dll", name);
    HMODULE game = LoadLibraryA(fileName);
    RunGameProc runGame = game ? GetProc<RunGameProc>(game, "RunGame") : nullptr;
    if (!runGame) {
        MessageBoxA(nullptr, kStartError, "Error", MB_OK);
        if (game) FreeLibrary(game);
        return finish(1);
    }

    // On failure the folder stays empty and the game keeps to the current directory.
    char dataFolder[kDataFolderSize];
    std::memset(dataFolder, 0, sizeof(dataFolder));
    if (IsVistaOrLater()) CreateSharedDataFolder(kPublisher, kProduct, dataFolder);

    runGame(instance, prevInstance, dataFolder, showCmd);
    FreeLibrary(game);
    return finish(0);
}
