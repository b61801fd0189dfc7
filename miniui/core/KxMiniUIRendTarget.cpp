#include "miniui/core/KxMiniUIRendTarget.h"

KxMiniUIRendTarget::~KxMiniUIRendTarget() = default;
