#include "lite_controls.h"

LiteControls g_liteControls;
