// The render factory on GDI+. GDI+ must be started before it is used.
#pragma once

#include "miniui/core/KxMiniUIRenderFactory.h"

class KxMiniUIRenderFactoryGdip : public KxMiniUIRenderFactory {
 public:
  KxMiniUIRenderFactoryGdip();
  ~KxMiniUIRenderFactoryGdip() override;

  bool Initialize() override;
  std::unique_ptr<KxMiniUIRenderTargetHolder> CreateRenderTarget(int width, int height, bool opaque) override;
  std::shared_ptr<KxMiniUIBitmap> CreateBitmap() override;
};
