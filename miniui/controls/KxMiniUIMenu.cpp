#include "miniui/controls/KxMiniUIMenu.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMenu);
