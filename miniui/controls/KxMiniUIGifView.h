// "gif": an image view that steps through the frames of its animated skin
// on a view timer.
#pragma once

#include "miniui/controls/KxMiniUIAnimationDelegate.h"
#include "miniui/controls/KxMiniUIImageView.h"

class KxMiniUIGifView : public KxMiniUIImageView, public KxMiniUIAnimationDelegate {
 public:
  KXMINIUI_DECLARE_TAG("gif")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void OnAnimationStep(int step) override;
  void OnAnimationEnded() override;

  int GetInterval() const { return interval_; }
  int GetCurrentFrame() const { return currentFrame_; }

 private:
  int interval_ = 0;
  int currentFrame_ = 0;
};
