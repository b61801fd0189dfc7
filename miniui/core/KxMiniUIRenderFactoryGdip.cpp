#include "miniui/core/KxMiniUIRenderFactoryGdip.h"

#include "miniui/core/KxMiniUIBitmapGdip.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"

KxMiniUIRenderFactoryGdip::KxMiniUIRenderFactoryGdip() = default;
KxMiniUIRenderFactoryGdip::~KxMiniUIRenderFactoryGdip() = default;

bool KxMiniUIRenderFactoryGdip::Initialize() { return true; }

std::unique_ptr<KxMiniUIRenderTargetHolder> KxMiniUIRenderFactoryGdip::CreateRenderTarget(int width, int height,
                                                                                         bool opaque) {
  return std::make_unique<KxMiniUIRenderTargetHolder>(
      std::make_unique<KxMiniUICanvasGdiplus>(width, height, opaque));
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIRenderFactoryGdip::CreateBitmap() {
  return std::make_shared<KxMiniUIBitmapGdip>();
}
