// Makes the canvases and bitmaps everything is drawn with. One per process,
// owned by the application module.
#pragma once

#include <memory>

#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUIRenderTargetHolder.h"

class KxMiniUIRenderFactory {
 public:
  virtual ~KxMiniUIRenderFactory();
  virtual bool Initialize() = 0;
  // A target of at least 1 x 1 pixels: a width or height below 1 makes both 1.
  virtual std::unique_ptr<KxMiniUIRenderTargetHolder> CreateRenderTarget(int width, int height,
                                                                         bool opaque) = 0;
  // An empty bitmap to decode into or to create.
  virtual std::shared_ptr<KxMiniUIBitmap> CreateBitmap() = 0;
};
