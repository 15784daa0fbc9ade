// The generic control kinds of the GUI framework by element name. The game's
// own factory makes its kinds and falls back on this one.
#pragma once

class GuiControl;

// A new control for the element name, or null for a kind it does not know.
GuiControl* CreateGenericGuiControl(const char* elementName);
