#include "miniui/controls/KxMiniUIStripeProgress.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIStripeProgress);

HRESULT KxMiniUIStripeProgress::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const std::string text = value != nullptr ? value : "";
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  if (NamesEqual(name, "progress-type")) {
    static const char* const kNames[] = {"default", "stripe", "lightbar"};
    for (int i = 0; i < 3; ++i) {
      if (NamesEqual(value, kNames[i])) {
        type_ = i;
        return kAttrChanged;
      }
    }
    return kAttrRejected;
  }
  if (NamesEqual(name, "bgskin")) {
    backgroundSkin_.SetName(text);
  } else if (NamesEqual(name, "progressheadskin")) {
    headSkin_.SetName(text);
  } else if (NamesEqual(name, "progresssubjectskin")) {
    bodySkin_.SetName(text);
  } else if (NamesEqual(name, "stripeskin")) {
    stripeSkin_.SetName(text);
  } else if (NamesEqual(name, "distancestep")) {
    distanceStep_ = number;
  } else if (NamesEqual(name, "animalinterval")) {
    stepInterval_ = number;
  } else if (NamesEqual(name, "headblank")) {
    headBlank_ = number;
  } else if (NamesEqual(name, "bidirectional")) {
    bidirectional_ = number != 0;
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

void KxMiniUIStripeProgress::OnTimer(int id) {
  if (id == kStepTimer) OnAnimationStep(step_ + 1);
}

int KxMiniUIStripeProgress::Distance() const { return step_ * distanceStep_; }

void KxMiniUIStripeProgress::Paint(KxMiniUIRendTarget& canvas) {
  // Painting means the view is in a live window: the animation runs from now.
  if (!timerRunning_) {
    timerRunning_ = SetTimer(kStepTimer, static_cast<UINT>(stepInterval_ > 0 ? stepInterval_ : 30));
  }
  const RECT bounds{0, 0, Width(), Height()};
  if (backgroundSkin_) {
    backgroundSkin_.Draw(canvas, bounds, 0);
  } else {
    KxMiniUIView::Paint(canvas);
  }
  switch (type_) {
    case kTypeStripe:
      PaintStripes(canvas);
      break;
    case kTypeLightBar:
      PaintLightBar(canvas);
      break;
    default:
      bodySkin_.Draw(canvas, bounds, 0);
      break;
  }
}

void KxMiniUIStripeProgress::PaintStripes(KxMiniUIRendTarget& canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  bodySkin_.Draw(canvas, bounds, 0);
  const int stripe = stripeSkin_.FrameSize().cx;
  if (stripe <= 0) return;
  canvas.PushClip(bounds);
  // Tiles from one stripe before the left edge, moved right by the step.
  for (int x = Distance() % stripe - stripe; x < Width(); x += stripe) {
    stripeSkin_.Draw(canvas, RECT{x, 0, x + stripe, Height()}, 0);
  }
  canvas.PopClip();
}

void KxMiniUIStripeProgress::PaintLightBar(KxMiniUIRendTarget& canvas) {
  const int head = headSkin_.FrameSize().cx;
  if (head <= 0) return;
  // One pass: in from the left edge, out past the right one, a blank gap.
  const int pass = Width() + head + headBlank_;
  int travelled = pass > 0 ? Distance() % pass : 0;
  if (bidirectional_ && pass > 0 && (Distance() / pass) % 2 == 1) travelled = pass - travelled;
  const int left = travelled - head;
  canvas.PushClip(RECT{0, 0, Width(), Height()});
  headSkin_.Draw(canvas, RECT{left, 0, left + head, Height()}, 0);
  canvas.PopClip();
}

void KxMiniUIStripeProgress::OnAnimationStep(int step) {
  step_ = step;
  Invalidate();
}

void KxMiniUIStripeProgress::OnAnimationEnded() { step_ = 0; }
