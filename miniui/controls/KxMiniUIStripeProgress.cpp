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

void KxMiniUIStripeProgress::Paint(KxMiniUIRendTarget& canvas) {
  if (backgroundSkin_) {
    backgroundSkin_.Draw(canvas, RECT{0, 0, Width(), Height()}, 0);
  } else {
    KxMiniUIView::Paint(canvas);
  }
}

void KxMiniUIStripeProgress::OnAnimationStep(int step) {
  step_ = step;
  Invalidate();
}

void KxMiniUIStripeProgress::OnAnimationEnded() { step_ = 0; }
