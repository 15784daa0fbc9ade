#include "lite_factory.h"

#include <cstring>
#include <new>

#include "control_factory.h"
#include "lite_spin_control.h"
#include "wedge_control.h"

GuiControl* CreateLiteGuiControl(const char* elementName) {
    if (elementName && std::strcmp(elementName, "wedge") == 0) return new (std::nothrow) WedgeControl();
    if (elementName && std::strcmp(elementName, "newspin") == 0) return new (std::nothrow) LiteSpinControl();
    return CreateGuiControl(elementName);
}
