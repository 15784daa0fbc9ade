// The GUI manager: loads the "GUI" document, owns every container and
// control, keeps the current screen and the stack of windows over it, routes
// the mouse, keeps the draw list ordered by depth, and runs screen and
// window changes from a deferred queue after each frame is drawn, so that
// closing animations can finish first.
#pragma once
// <windows.h> maps FindWindow to FindWindowA; the manager's own FindWindow
// must keep its name in every file that sees it, so the header is taken in
// first and the macro dropped (Win32 callers write FindWindowA).
#include <windows.h>
#ifdef FindWindow
#undef FindWindow
#endif

#include "gui_callbacks.h"
#include "gui_control.h"
#include "gui_group.h"
#include "indexed_list.h"

class TiXmlDocument;

// Makes a new control of the kind named by a GUI element, or null.
typedef GuiControl* (*GuiControlFactory)(const char* elementName);

enum GuiCommandCode {
    GUI_COMMAND_CLOSE_ALL = 1,     // start closing the screen and the top window
    GUI_COMMAND_SWITCH_SCREEN = 2, // once closed: drop everything, open the target
    GUI_COMMAND_CLOSE_WINDOW = 3,  // start closing the top window
    GUI_COMMAND_POP_WINDOW = 4,    // once closed: drop the top window
    GUI_COMMAND_PUSH_WINDOW = 5    // open the target over the top window
};

struct GuiCommand {
    int command;
    GuiGroup* target;
};

class GuiManager {
public:
    static constexpr int kMaxGroups = 512;
    static constexpr int kMaxScreens = 512;
    static constexpr int kMaxWindows = 512;
    static constexpr int kMaxControls = 4096;
    static constexpr int kErrorSize = 1024;

    GuiManager();
    ~GuiManager();

    // Reads the document of file ID "GUI". false with the reason in
    // GetError(); loading stops at the first unknown kind.
    bool Load(GuiControlFactory factory);
    // The same from a parsed document (whatever its origin).
    bool LoadDocument(TiXmlDocument& document, GuiControlFactory factory);

    // Once a frame before drawing: mouse routing and control updates.
    void Update();
    // Once a frame inside the scene: the draw list, then RunCommands.
    void Draw();
    void RunCommands();

    bool OpenScreen(const char* screenName);
    bool OpenWindow(const char* windowName);
    bool CloseWindow();
    // Closes that window when the queue reaches the close and it is still
    // the one on top; nothing when a window opened over it meanwhile.
    bool CloseWindow(GuiScreen* window);
    bool ChangeWindow(const char* windowName);

    GuiGroup* FindGroup(const char* groupName) const;
    GuiScreen* FindScreen(const char* screenName) const;
    GuiWindow* FindWindow(const char* windowName) const;
    // "container.control": screens first, then windows, then groups.
    GuiControl* FindControl(const char* path) const;

    void SetActiveControl(GuiControl* control);
    void AddToDrawList(GuiControl* control);
    void RemoveFromDrawList(GuiControl* control);

    // Drops what is open, deletes every container and control, empties the
    // callback registry and the queue.
    void Clear();

    // Parses an event attribute; always a list (empty for null text).
    GuiHandlerList* ParseHandlers(const char* text);
    void RegisterCallback(const char* callbackName, GuiCallback callback) {
        callbacks.Register(callbackName, callback);
    }
    CallbackRegistry& GetCallbacks() { return callbacks; }

    GuiScreen* GetCurrentWindow() const { return currentWindow; }
    GuiScreen* GetCurrentScreen() const { return currentScreen; }
    GuiControl* GetActiveControl() const { return activeControl; }
    const char* GetError() const { return error; }
    void SetError(const char* format, ...);

    // Read-only views of the tables and the queue, for the game's binding
    // code and for tests.
    GuiGroup* GroupAt(int i) const { return i >= 0 && i < kMaxGroups ? groups[i] : nullptr; }
    GuiScreen* ScreenAt(int i) const { return i >= 0 && i < kMaxScreens ? screens[i] : nullptr; }
    GuiWindow* WindowAt(int i) const { return i >= 0 && i < kMaxWindows ? windows[i] : nullptr; }
    GuiControl* ControlAt(int i) const { return i >= 0 && i < kMaxControls ? controls[i] : nullptr; }
    unsigned QueuedCommands() const { return commands.Count(); }
    // The draw list in order; fills at most capacity and returns the length.
    int DrawOrder(GuiControl** out, int capacity) const;

private:
    GuiManager(const GuiManager&) = delete;
    GuiManager& operator=(const GuiManager&) = delete;

    struct DrawNode {
        DrawNode* next;
        DrawNode* previous;
        GuiControl* control;
    };

    bool Queue(int command, GuiGroup* target);
    // True when the window is the current one or anywhere in the stack.
    bool IsInStack(const GuiScreen* window) const;
    bool LoadContainers(TiXmlElement* root, GuiControlFactory factory);
    void DropStack();

    GuiGroup* groups[kMaxGroups];
    GuiScreen* screens[kMaxScreens];
    GuiWindow* windows[kMaxWindows];
    GuiControl* controls[kMaxControls];
    IndexedList<GuiCommand> commands;
    GuiScreen* currentWindow;
    GuiScreen* currentScreen;
    GuiControl* activeControl;
    char error[kErrorSize];
    DrawNode drawHead;
    DrawNode drawTail;
    CallbackRegistry callbacks;
};

extern GuiManager g_guiManager;

// The passes the game hooks into the renderer (Renderer::SetFramePasses).
void GuiUpdatePass();
void GuiDrawPass();
