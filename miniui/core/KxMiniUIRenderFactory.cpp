#include "miniui/core/KxMiniUIRenderFactory.h"

KxMiniUIRenderFactory::~KxMiniUIRenderFactory() = default;
