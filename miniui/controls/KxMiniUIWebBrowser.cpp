#include "miniui/controls/KxMiniUIWebBrowser.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIWebBrowser);
