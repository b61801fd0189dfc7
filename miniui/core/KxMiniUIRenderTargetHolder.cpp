#include "miniui/core/KxMiniUIRenderTargetHolder.h"

KxMiniUIRenderTargetHolder::KxMiniUIRenderTargetHolder(std::unique_ptr<KxMiniUIRendTarget> canvas)
    : canvas_(std::move(canvas)) {}

void KxMiniUIRenderTargetHolder::SetScaleFactors(double sx, double sy) {
  scaleX_ = sx;
  scaleY_ = sy;
  if (canvas_) canvas_->SetScaleFactors(sx, sy);
}
