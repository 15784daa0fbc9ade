#include "control_factory.h"

#include "gui_factory.h"
#include "control_ai.h"
#include "control_animation.h"
#include "control_statusbar.h"
#include "control_wheel.h"
#include "controls_game.h"
#include <cstring>

GuiControl* CreateGuiControl(const char* elementName) {
    // The generic kinds; the game's own kinds join here as they are built.
    if (elementName && std::strcmp(elementName, "newspin") == 0) return new NewSpinControl();
    if (GuiControl* c = CreateBoardMessageControl(elementName)) return c;
    if (elementName && std::strcmp(elementName, "ai") == 0) return new AiControl();
    if (elementName && std::strcmp(elementName, "animation") == 0) return new AnimationControl();
    if (GuiControl* c = CreateGameKindControl(elementName)) return c;
    return CreateGenericGuiControl(elementName);
}
