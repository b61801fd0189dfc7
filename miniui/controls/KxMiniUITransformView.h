// "transformview" and the containers built on it: "rotateview",
// "MouseInOutAnimate" and "turn3d". Each draws its children through a
// transform that a view timer moves on.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUITransformViewListener.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUITransformView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("transformview")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetInterval() const { return interval_; }
  int GetRepeat() const { return repeat_; }

 private:
  int interval_ = 0;
  int repeat_ = 0;
};

class KxMiniUIRotateView : public KxMiniUITransformView, public KxMiniUITransformViewListener {
 public:
  KXMINIUI_DECLARE_TAG("rotateview")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void OnTransformStep(KxMiniUITransformView* view, int step) override;
  void OnTransformEnded(KxMiniUITransformView* view) override;

  float GetAngle() const { return angle_; }
  POINT GetCenter() const { return center_; }

 private:
  float angle_ = 0.0f;
  POINT center_{0, 0};
};

class KxMiniUIMouseInOutAnimate : public KxMiniUITransformView, public KxMiniUITransformViewListener {
 public:
  KXMINIUI_DECLARE_TAG("MouseInOutAnimate")

  enum AnimateType { kFade = 0, kScale = 1, kClip = 2, kEllipseClip = 3 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void OnTransformStep(KxMiniUITransformView* view, int step) override;
  void OnTransformEnded(KxMiniUITransformView* view) override;

  int GetDuration() const { return duration_; }
  int GetAnimateType() const { return animateType_; }

 private:
  int duration_ = 0;
  int animateType_ = kFade;
};

class KxMiniUITurn3DView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("turn3d")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetInterval() const { return interval_; }
  int GetZStep() const { return zStep_; }
  int GetYStep() const { return yStep_; }
  int GetCaptureStep() const { return captureStep_; }

 private:
  int interval_ = 0;
  int zStep_ = 0;
  int yStep_ = 0;
  int captureStep_ = 0;
};
