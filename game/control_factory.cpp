#include "control_factory.h"

#include "gui_factory.h"

GuiControl* CreateGuiControl(const char* elementName) {
    // The generic kinds; the game's own kinds join here as they are built.
    return CreateGenericGuiControl(elementName);
}
