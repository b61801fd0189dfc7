// What an animated control hears from the animation that drives it.
#pragma once

class KxMiniUIAnimationDelegate {
 public:
  // One step of the animation; `step` counts from 0.
  virtual void OnAnimationStep(int step) = 0;
  virtual void OnAnimationEnded() = 0;

 protected:
  ~KxMiniUIAnimationDelegate() = default;
};
