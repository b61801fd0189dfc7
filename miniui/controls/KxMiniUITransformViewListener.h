// What a transform view tells the object that follows its animation.
#pragma once

class KxMiniUITransformView;

class KxMiniUITransformViewListener {
 public:
  virtual void OnTransformStep(KxMiniUITransformView* view, int step) = 0;
  virtual void OnTransformEnded(KxMiniUITransformView* view) = 0;

 protected:
  ~KxMiniUITransformViewListener() = default;
};
