// The Lite edition's control factory and callback registration.
#pragma once

class CallbackRegistry;
class GuiControl;

// A new control for the element name, one of the Lite's 30 kinds (the
// game's and "wedge"); null for any other name or when memory runs out.
GuiControl* CreateLiteGuiControl(const char* elementName);
// The kinds in the order they are compared; null past the last.
extern const unsigned kLiteKindCount;  // 30
const char* LiteKindName(unsigned index);

// The Lite's named callbacks, before its "GUI" document loads, in the
// order of the three tables below; an unknown name in the document binds to
// nothing.
void RegisterLiteCallbacks(CallbackRegistry& registry);
// The handler the Lite registers for a name: its own variant, else the
// game's handler of that name (looked up in game, which holds the game's
// debug, menu and game-screen registrations).
typedef bool (*GuiCallback)(void* sender, const char* argument);
GuiCallback LiteCallbackHandler(CallbackRegistry& game, const char* name);

// The Lite's tables of callback names, in registration order.
extern const char* const kLiteDebugCallbacks[];
extern const char* const kLiteMenuCallbacks[];
extern const char* const kLiteGameCallbacks[];
extern const unsigned kLiteDebugCallbackCount;  // 27
extern const unsigned kLiteMenuCallbackCount;   // 64
extern const unsigned kLiteGameCallbackCount;   // 83
