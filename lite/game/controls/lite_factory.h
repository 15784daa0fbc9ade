// The Lite edition's control factory and callback registration.
#pragma once

class CallbackRegistry;
class GuiControl;

// A new control for the element name: every kind of the full edition and
// "wedge", with the Lite's own wheel for "newspin"; null for a kind the
// Lite lacks.
GuiControl* CreateLiteGuiControl(const char* elementName);

// The Lite's named callbacks, before its "GUI" document loads: only
// handlers that exist are registered; an unknown name in the document binds
// to nothing.
void RegisterLiteCallbacks(CallbackRegistry& registry);

// The Lite's tables of callback names, in registration order.
extern const char* const kLiteDebugCallbacks[];
extern const char* const kLiteMenuCallbacks[];
extern const char* const kLiteGameCallbacks[];
extern const unsigned kLiteDebugCallbackCount;  // 27
extern const unsigned kLiteMenuCallbackCount;   // 64
extern const unsigned kLiteGameCallbackCount;   // 83
