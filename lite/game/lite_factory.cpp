#include "lite_factory.h"

#include <cstring>

#include "control_factory.h"
#include "gui_factory.h"

GuiControl* CreateLiteGuiControl(const char* elementName) {
    // A wedge of the 2D wheel is a picture of one wedge value until the
    // wheel's own kind takes it over.
    if (elementName && std::strcmp(elementName, "wedge") == 0) return CreateGenericGuiControl("static");
    return CreateGuiControl(elementName);
}
