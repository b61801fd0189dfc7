#include "miniui/controls/KxMiniUIMenuItem.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMenuItem);
