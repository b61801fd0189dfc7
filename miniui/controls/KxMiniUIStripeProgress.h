// "stripeprogress": a progress bar that animates itself on a view timer
// (a moving stripe, or a light bar).
#pragma once

#include "miniui/controls/KxMiniUIAnimationDelegate.h"
#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIStripeProgress : public KxMiniUIView, public KxMiniUIAnimationDelegate {
 public:
  KXMINIUI_DECLARE_TAG("stripeprogress")

  enum ProgressType { kTypeDefault = 0, kTypeStripe = 1, kTypeLightBar = 2 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The background skin, else the style's skin or background.
  void Paint(KxMiniUIRendTarget& canvas) override;
  void OnAnimationStep(int step) override;
  void OnAnimationEnded() override;

  int GetProgressType() const { return type_; }
  int GetDistanceStep() const { return distanceStep_; }
  int GetStepInterval() const { return stepInterval_; }
  int GetHeadBlank() const { return headBlank_; }
  bool IsBidirectional() const { return bidirectional_; }
  int GetStep() const { return step_; }

 private:
  KxMiniUISkinRef backgroundSkin_;
  KxMiniUISkinRef headSkin_;
  KxMiniUISkinRef bodySkin_;
  KxMiniUISkinRef stripeSkin_;
  int distanceStep_ = 1;
  int stepInterval_ = 30;
  int headBlank_ = 0;
  bool bidirectional_ = false;
  int type_ = kTypeStripe;
  int step_ = 0;
};
