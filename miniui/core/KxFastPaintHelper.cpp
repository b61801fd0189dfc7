#include "miniui/core/KxFastPaintHelper.h"

KxFastPaintHelper::~KxFastPaintHelper() = default;
