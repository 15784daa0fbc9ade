#include "gui_manager.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_system.h"
#include "renderer.h"
#include "strings.h"
#include "tinyxml.h"

GuiManager g_guiManager;

void GuiUpdatePass() { g_guiManager.Update(); }
void GuiDrawPass() { g_guiManager.Draw(); }

GuiManager::GuiManager()
    : groups(),
      screens(),
      windows(),
      controls(),
      currentWindow(nullptr),
      currentScreen(nullptr),
      activeControl(nullptr) {
    error[0] = 0;
    drawHead.previous = nullptr;
    drawHead.next = &drawTail;
    drawHead.control = nullptr;
    drawTail.previous = &drawHead;
    drawTail.next = nullptr;
    drawTail.control = nullptr;
}

GuiManager::~GuiManager() {
    // Controls and containers go with Clear at shutdown; what the resource
    // cache may no longer hold is not touched here. Only the list nodes are
    // freed.
    DrawNode* n = drawHead.next;
    while (n && n != &drawTail) {
        DrawNode* next = n->next;
        delete n;
        n = next;
    }
    drawHead.next = &drawTail;
    drawTail.previous = &drawHead;
}

void GuiManager::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
    error[sizeof(error) - 1] = 0;
}

// ---- Handler lists ----------------------------------------------------------

GuiHandlerList* GuiManager::ParseHandlers(const char* text) {
    GuiHandlerList* list = new GuiHandlerList();
    if (!text) return list;
    size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    if (!copy) return list;
    std::memcpy(copy, text, n);
    char* token = copy;
    for (;;) {
        char* end = std::strchr(token, ';');
        if (end) *end = 0;
        if (*token) {
            // Name(arg): the name up to the first "(", the argument up to the
            // next ")", the rest ignored. A token without "(" is a name with
            // no argument; one without ")" takes the rest as its argument.
            const char* argument = nullptr;
            char* open = std::strchr(token, '(');
            if (open) {
                *open = 0;
                char* close = std::strchr(open + 1, ')');
                if (close) *close = 0;
                argument = open + 1;
            }
            GuiCallback callback = callbacks.Find(token);
            if (callback) list->Add(callback, argument);
        }
        if (!end) break;
        token = end + 1;
    }
    std::free(copy);
    return list;
}

// ---- Loading ----------------------------------------------------------------

bool GuiManager::Load(GuiControlFactory factory) {
    int id = g_fileSystem.GetFileId("GUI");
    // Without an entry the file system's text names the label; opening ID 0
    // would only replace it with an empty path.
    if (!id) {
        SetError("%s", g_fileSystem.GetError());
        return false;
    }
    TiXmlDocument document;
    if (!g_fileSystem.LoadXml(id, &document)) {
        if (document.Error()) {
            // TinyXML's row and column already count from 1.
            const char* desc = document.ErrorDesc();
            SetError("GUI: (%i,%i): %s", document.ErrorRow(), document.ErrorCol(), desc ? desc : "");
        } else {
            SetError("%s", g_fileSystem.GetError());
        }
        return false;
    }
    return LoadDocument(document, factory);
}

// The first free slot of a table, or capacity when it is full.
template <typename T>
static int FirstFree(T* const* table, int capacity) {
    int i = 0;
    while (i < capacity && table[i]) ++i;
    return i;
}

// Appends a new container to its table; false (with the message) when the
// table is full.
template <typename T>
static bool AddContainer(GuiManager& manager, T* container, T** table, int capacity, int* count,
                         const char* kind) {
    if (*count >= capacity) {
        manager.SetError("Too many gui environments: <%s> (at most %i)", kind, capacity);
        delete container;
        return false;
    }
    table[(*count)++] = container;
    return true;
}

bool GuiManager::LoadContainers(TiXmlElement* root, GuiControlFactory factory) {
    int groupCount = FirstFree(groups, kMaxGroups);
    int screenCount = FirstFree(screens, kMaxScreens);
    int windowCount = FirstFree(windows, kMaxWindows);
    int controlCount = FirstFree(controls, kMaxControls);

    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const char* kind = e->Value();
        GuiGroup* container = nullptr;
        bool added = false;
        if (std::strcmp(kind, "group") == 0) {
            container = new GuiGroup();
            added = AddContainer(*this, container, groups, kMaxGroups, &groupCount, kind);
        } else if (std::strcmp(kind, "screen") == 0) {
            GuiScreen* screen = new GuiScreen();
            container = screen;
            added = AddContainer(*this, screen, screens, kMaxScreens, &screenCount, kind);
            if (added) {
                SetString(screen->startWindow, e->Attribute("start_window"));
                screen->onOpen = ParseHandlers(e->Attribute("OnOpen"));
                screen->onClose = ParseHandlers(e->Attribute("OnClose"));
            }
        } else if (std::strcmp(kind, "window") == 0) {
            GuiWindow* window = new GuiWindow();
            container = window;
            added = AddContainer(*this, window, windows, kMaxWindows, &windowCount, kind);
            if (added) {
                window->offset.Parse(e->Attribute("pos"));
                window->checkScreen = e->Attribute("check_screen") != nullptr;
                window->onOpen = ParseHandlers(e->Attribute("OnOpen"));
                window->onClose = ParseHandlers(e->Attribute("OnClose"));
            }
        } else {
            SetError("Unrecognized gui environment: <%s>", kind);
            return false;
        }
        if (!added) return false;
        SetString(container->name, e->Attribute("name"));

        for (TiXmlElement* ce = e->FirstChildElement(); ce; ce = ce->NextSiblingElement()) {
            const char* controlKind = ce->Value();
            GuiControl* control = factory ? factory(controlKind) : nullptr;
            if (!control) {
                SetError("Unrecognized gui control: <%s>", controlKind);
                return false;
            }
            if (controlCount >= kMaxControls) {
                SetError("Too many gui controls: <%s> (at most %i)", controlKind, kMaxControls);
                delete control;
                return false;
            }
            if (!container->AddControl(control)) {
                SetError("Too many gui controls in <%s> (at most %i)", container->name ? container->name : "",
                         GuiGroup::kMaxControls);
                delete control;
                return false;
            }
            SetString(control->name, ce->Attribute("name"));
            controls[controlCount++] = control;
        }
    }
    return true;
}

bool GuiManager::LoadDocument(TiXmlDocument& document, GuiControlFactory factory) {
    TiXmlElement* root = document.RootElement();
    if (!root) {
        SetError("GUI: (%i,%i): %s", 1, 1, "Error document empty.");
        return false;
    }
    int firstControl = FirstFree(controls, kMaxControls);
    if (!LoadContainers(root, factory)) return false;

    // Pass two: every container and control exists now, so child groups
    // and radio classes can be resolved.
    int k = firstControl;
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        for (TiXmlElement* ce = e->FirstChildElement(); ce && k < kMaxControls; ce = ce->NextSiblingElement()) {
            GuiControl* control = controls[k++];
            if (!control) continue;
            if (!ce->Attribute("name")) {
                SetError("Gui control: <%s> has no name", ce->Value());
                continue;
            }
            control->LoadCommon(ce);
            control->Load(ce);
        }
    }

    const char* startScreen = root->Attribute("start_screen");
    OpenScreen(startScreen);

    GuiHandlerList* onStart = ParseHandlers(root->Attribute("OnStart"));
    onStart->Invoke(nullptr);
    delete onStart;
    return true;
}

// ---- Lookups ----------------------------------------------------------------

// The first container of a table, up to its first free slot, named name.
template <typename T>
static T* FindNamed(T* const* table, int capacity, const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < capacity && table[i]; ++i)
        if (StringEquals(table[i]->name, name)) return table[i];
    return nullptr;
}

GuiGroup* GuiManager::FindGroup(const char* groupName) const {
    return FindNamed(groups, kMaxGroups, groupName);
}

GuiScreen* GuiManager::FindScreen(const char* screenName) const {
    return FindNamed(screens, kMaxScreens, screenName);
}

GuiWindow* GuiManager::FindWindow(const char* windowName) const {
    return FindNamed(windows, kMaxWindows, windowName);
}

GuiControl* GuiManager::FindControl(const char* path) const {
    if (!path) return nullptr;
    const char* dot = std::strchr(path, '.');
    if (!dot) return nullptr;
    size_t n = (size_t)(dot - path);
    char* containerName = static_cast<char*>(std::malloc(n + 1));
    if (!containerName) return nullptr;
    std::memcpy(containerName, path, n);
    containerName[n] = 0;
    GuiGroup* container = FindScreen(containerName);
    if (!container) container = FindWindow(containerName);
    if (!container) container = FindGroup(containerName);
    std::free(containerName);
    return container ? container->FindControl(dot + 1) : nullptr;
}

// ---- Screens and windows ----------------------------------------------------

bool GuiManager::Queue(int command, GuiGroup* target) {
    if (command < GUI_COMMAND_CLOSE_ALL || command > GUI_COMMAND_PUSH_WINDOW) return false;
    GuiCommand c = {command, target};
    return commands.Append(c) != nullptr;
}

bool GuiManager::OpenScreen(const char* screenName) {
    GuiScreen* screen = FindScreen(screenName);
    if (!screen) {
        SetError("Screen <%s> not found", screenName ? screenName : "");
        return false;
    }
    Queue(GUI_COMMAND_CLOSE_ALL, screen);
    Queue(GUI_COMMAND_SWITCH_SCREEN, screen);
    if (screen->startWindow) OpenWindow(screen->startWindow);
    return true;
}

bool GuiManager::OpenWindow(const char* windowName) {
    GuiWindow* window = FindWindow(windowName);
    if (!window) {
        SetError("Window <%s> not found", windowName ? windowName : "");
        return false;
    }
    Queue(GUI_COMMAND_PUSH_WINDOW, window);
    return true;
}

bool GuiManager::CloseWindow() { return CloseWindow(nullptr); }

bool GuiManager::CloseWindow(GuiScreen* window) {
    if (currentWindow == currentScreen) {
        SetError("Cannot close the screen");
        return false;
    }
    Queue(GUI_COMMAND_CLOSE_WINDOW, window);
    Queue(GUI_COMMAND_POP_WINDOW, window);
    return true;
}

bool GuiManager::ChangeWindow(const char* windowName) {
    if (!CloseWindow()) return false;
    return OpenWindow(windowName);
}

bool GuiManager::IsInStack(const GuiScreen* window) const {
    if (!window || !currentScreen) return false;
    if (window == currentScreen) return true;
    const GuiScreen* w = currentScreen->windowAbove;
    for (int guard = 0; w && guard <= kMaxWindows; ++guard, w = w->windowAbove)
        if (w == window) return true;
    return false;
}

// Drops every window of the stack (bottom up, each followed by its OnClose
// list) and then the screen. Dropped windows leave the stack entirely: links
// left behind would reappear in a later stack.
void GuiManager::DropStack() {
    if (!currentScreen) return;
    GuiWindow* w = currentScreen->windowAbove;
    currentScreen->windowAbove = nullptr;
    for (int guard = 0; w && guard <= kMaxWindows; ++guard) {
        GuiWindow* next = w->windowAbove;
        w->windowAbove = nullptr;
        w->windowBelow = nullptr;
        w->Drop();
        InvokeHandlers(w->onClose, w);
        w = next;
    }
    currentScreen->Drop();
    InvokeHandlers(currentScreen->onClose, currentScreen);
}

void GuiManager::RunCommands() {
    while (commands.Count()) {
        GuiCommand c = *commands.At(0);
        switch (c.command) {
        case GUI_COMMAND_CLOSE_ALL:
            if (currentScreen) currentScreen->Close();
            if (currentWindow && currentWindow != currentScreen) currentWindow->Close();
            // The windows between them go with the screen without a closing
            // of their own; they take no new work meanwhile either.
            if (currentScreen) {
                GuiWindow* w = currentScreen->windowAbove;
                for (int guard = 0; w && w != currentWindow && guard <= kMaxWindows; ++guard, w = w->windowAbove)
                    w->MarkClosing(true);
            }
            commands.RemoveAt(0);
            break;

        case GUI_COMMAND_SWITCH_SCREEN: {
            if ((currentScreen && !currentScreen->IsClosed()) || (currentWindow && !currentWindow->IsClosed()))
                return;  // the closing animations go on; try again next frame
            DropStack();
            activeControl = nullptr;
            GuiScreen* screen = static_cast<GuiScreen*>(c.target);
            currentScreen = screen;
            currentWindow = screen;
            screen->windowAbove = nullptr;
            screen->Open(0);
            commands.RemoveAt(0);
            InvokeHandlers(screen->onOpen, screen);
            break;
        }

        case GUI_COMMAND_CLOSE_WINDOW:
            // A second close queued behind the first finds only the screen
            // left: the screen is not a window and stays as it is. A close
            // meant for one window leaves a window pushed over it alone.
            if (currentWindow && currentWindow != currentScreen && (!c.target || c.target == currentWindow))
                currentWindow->Close();
            commands.RemoveAt(0);
            break;

        case GUI_COMMAND_POP_WINDOW: {
            if (!currentWindow || currentWindow == currentScreen || (c.target && c.target != currentWindow)) {
                commands.RemoveAt(0);
                break;
            }
            if (!currentWindow->IsClosed()) return;
            activeControl = nullptr;
            GuiWindow* top = static_cast<GuiWindow*>(currentWindow);
            top->Drop();
            commands.RemoveAt(0);
            InvokeHandlers(top->onClose, top);
            GuiScreen* below = top->windowBelow ? top->windowBelow : currentScreen;
            currentWindow = below;
            top->windowBelow = nullptr;
            top->windowAbove = nullptr;
            if (below) below->windowAbove = nullptr;
            break;
        }

        case GUI_COMMAND_PUSH_WINDOW: {
            GuiWindow* window = static_cast<GuiWindow*>(c.target);
            // Without a screen there is nothing to push onto; a window that
            // is already in the stack would be linked above itself.
            if (!currentWindow || IsInStack(window)) {
                commands.RemoveAt(0);
                break;
            }
            if (activeControl) {
                activeControl->MouseLeave();
                activeControl = nullptr;
            }
            currentWindow->DropHover();
            currentWindow->windowAbove = window;
            window->windowBelow = currentWindow;
            window->windowAbove = nullptr;
            currentWindow = window;
            window->Open(0);
            commands.RemoveAt(0);
            InvokeHandlers(window->onOpen, window);
            break;
        }

        default:
            commands.RemoveAt(0);
            break;
        }
    }
}

// ---- Frame passes -----------------------------------------------------------

void GuiManager::Update() {
    if (!currentWindow) return;
    GuiControl* before = activeControl;
    currentWindow->DispatchMouse(activeControl);
    if (currentWindow != currentScreen && static_cast<GuiWindow*>(currentWindow)->checkScreen && currentScreen)
        currentScreen->DispatchMouse(activeControl);

    if (currentScreen) {
        currentScreen->Update(activeControl);
        GuiWindow* w = currentScreen->windowAbove;
        for (int guard = 0; w && guard <= kMaxWindows; ++guard, w = w->windowAbove) w->Update(activeControl);
    }

    // A control that took the capture in this frame waits for the next.
    if (activeControl && activeControl == before) {
        if (!before->CapturedInput() && activeControl == before) {
            if (before->IsOpen()) before->MouseLeave();
            activeControl = nullptr;
        }
    }
}

void GuiManager::Draw() {
    g_renderer.SetGlobalAlpha(1.0f);
    for (DrawNode* n = drawHead.next; n && n != &drawTail;) {
        DrawNode* next = n->next;
        if (!n->control->HasFlags(kGuiSkipDraw)) n->control->Draw();
        n = next;
    }
    RunCommands();
}

void GuiManager::SetActiveControl(GuiControl* control) {
    if (control == activeControl) return;
    if (activeControl) activeControl->MouseLeave();
    activeControl = control;
    if (control) control->TakeCapture();
}

// ---- Draw list --------------------------------------------------------------

static float Depth(const GuiControl* c) { return c->position.z + c->offset.z; }

void GuiManager::AddToDrawList(GuiControl* control) {
    if (!control) return;
    DrawNode* node = new DrawNode;
    node->control = control;
    float depth = Depth(control);
    DrawNode* at = drawHead.next;
    while (at != &drawTail && !(Depth(at->control) > depth)) at = at->next;
    node->next = at;
    node->previous = at->previous;
    at->previous->next = node;
    at->previous = node;
}

void GuiManager::RemoveFromDrawList(GuiControl* control) {
    for (DrawNode* n = drawHead.next; n != &drawTail; n = n->next) {
        if (n->control != control) continue;
        n->previous->next = n->next;
        n->next->previous = n->previous;
        delete n;
        return;
    }
}

int GuiManager::DrawOrder(GuiControl** out, int capacity) const {
    int n = 0;
    for (const DrawNode* d = drawHead.next; d != &drawTail; d = d->next) {
        if (out && n < capacity) out[n] = d->control;
        ++n;
    }
    return n;
}

// ---- Shutdown ---------------------------------------------------------------

void GuiManager::Clear() {
    if (currentScreen) {
        GuiWindow* w = currentScreen->windowAbove;
        for (int guard = 0; w && guard <= kMaxWindows; ++guard) {
            GuiWindow* next = w->windowAbove;
            w->Drop();
            w = next;
        }
        currentScreen->Drop();
    }
    for (int i = 0; i < kMaxControls; ++i) {
        delete controls[i];
        controls[i] = nullptr;
    }
    for (int i = 0; i < kMaxGroups; ++i) {
        delete groups[i];
        groups[i] = nullptr;
    }
    for (int i = 0; i < kMaxScreens; ++i) {
        delete screens[i];
        screens[i] = nullptr;
    }
    for (int i = 0; i < kMaxWindows; ++i) {
        delete windows[i];
        windows[i] = nullptr;
    }
    // Whatever is still listed belonged to the deleted controls.
    for (DrawNode* n = drawHead.next; n != &drawTail;) {
        DrawNode* next = n->next;
        delete n;
        n = next;
    }
    drawHead.next = &drawTail;
    drawTail.previous = &drawHead;
    callbacks.Clear();
    commands.Clear();
    currentWindow = nullptr;
    currentScreen = nullptr;
    activeControl = nullptr;
}
