#include "miniui/core/KxMiniUIBitmap.h"

KxMiniUIBitmap::~KxMiniUIBitmap() = default;
