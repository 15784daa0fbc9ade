#include "lite_factory.h"

#include <cstring>
#include <new>

#include "control_factory.h"
#include "wedge_control.h"

GuiControl* CreateLiteGuiControl(const char* elementName) {
    if (elementName && std::strcmp(elementName, "wedge") == 0) return new (std::nothrow) WedgeControl();
    return CreateGuiControl(elementName);
}
