// The game's control factory: every control kind the "GUI" document may use.
#pragma once

class GuiControl;

// A new control for the element name, or null for a kind the game lacks.
GuiControl* CreateGuiControl(const char* elementName);
