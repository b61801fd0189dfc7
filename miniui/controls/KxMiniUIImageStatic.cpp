#include "miniui/controls/KxMiniUIImageStatic.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIImageStatic);
