// A window's back-buffer render target: one canvas and the scale factors
// (1.0 at 96 DPI) the window sets from the application module.
#pragma once

#include <memory>

#include "miniui/core/KxMiniUIRendTarget.h"

class KxMiniUIRenderTargetHolder {
 public:
  explicit KxMiniUIRenderTargetHolder(std::unique_ptr<KxMiniUIRendTarget> canvas);
  KxMiniUIRenderTargetHolder(const KxMiniUIRenderTargetHolder&) = delete;
  KxMiniUIRenderTargetHolder& operator=(const KxMiniUIRenderTargetHolder&) = delete;

  KxMiniUIRendTarget* Canvas() const { return canvas_.get(); }
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  // Stores the factors and hands them to the canvas.
  void SetScaleFactors(double sx, double sy);

 private:
  std::unique_ptr<KxMiniUIRendTarget> canvas_;
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
};
