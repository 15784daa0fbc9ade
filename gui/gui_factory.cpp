#include "gui_factory.h"

#include <cstring>

#include "controls_button.h"
#include "controls_simple.h"

// Value, entry and text kinds: their headers go here.
// ---- begin: value, entry and text kind headers ----
#include "controls_text.h"
#include "controls_value.h"
// ---- end: value, entry and text kind headers ----

GuiControl* CreateGenericGuiControl(const char* elementName) {
    if (!elementName) return nullptr;
    const char* n = elementName;
    if (std::strcmp(n, "static") == 0) return new StaticControl();
    if (std::strcmp(n, "group") == 0) return new GroupControl();
    if (std::strcmp(n, "multielems") == 0) return new MultiElemsControl();
    if (std::strcmp(n, "key") == 0) return new KeyControl();
    if (std::strcmp(n, "timer") == 0) return new TimerControl();
    if (std::strcmp(n, "fps") == 0) return new FpsControl();
    if (std::strcmp(n, "button") == 0) return new ButtonControl();
    if (std::strcmp(n, "check") == 0) return new CheckControl();
    if (std::strcmp(n, "radiobut") == 0) return new RadioButtonControl();
    // ---- begin: value, entry and text kinds ("edit", "text", "slider",
    // "scroll", "link", "list") ----
    if (std::strcmp(n, "edit") == 0) return new EditControl();
    if (std::strcmp(n, "text") == 0) return new TextControl();
    if (std::strcmp(n, "slider") == 0) return new SliderControl();
    if (std::strcmp(n, "scroll") == 0) return new ScrollControl();
    if (std::strcmp(n, "link") == 0) return new LinkControl();
    if (std::strcmp(n, "list") == 0) return new ListControl();
    // ---- end: value, entry and text kinds ----
    return nullptr;
}
