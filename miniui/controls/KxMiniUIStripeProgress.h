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

  // The view timer slot that steps the animation.
  static constexpr int kStepTimer = 1;

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void OnTimer(int id) override;
  // Starts the step timer at the first paint. Then the background (skin, else the style's look), then by type: the body
  // skin ("default"), the body with the stripe skin tiled and moved by the
  // step ("stripe"), or the head skin running across ("lightbar").
  void Paint(KxMiniUIRendTarget& canvas) override;
  void OnAnimationStep(int step) override;
  void OnAnimationEnded() override;

  int GetProgressType() const { return type_; }
  int GetDistanceStep() const { return distanceStep_; }
  int GetStepInterval() const { return stepInterval_; }
  int GetHeadBlank() const { return headBlank_; }
  bool IsBidirectional() const { return bidirectional_; }
  int GetStep() const { return step_; }
  // Pixels the animation has moved at the current step.
  int Distance() const;

 private:
  void PaintStripes(KxMiniUIRendTarget& canvas);
  void PaintLightBar(KxMiniUIRendTarget& canvas);

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
  bool timerRunning_ = false;
};
