#include "miniui/core/KxMiniUIFrameDecoder.h"

KxMiniUIFrameDecoder::~KxMiniUIFrameDecoder() = default;
