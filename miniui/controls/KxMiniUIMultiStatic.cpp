#include "miniui/controls/KxMiniUIMultiStatic.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMultiStatic);

KxMiniUIMultiStatic::KxMiniUIMultiStatic() { SetSingleLine(false); }
