#include "miniui/controls/KxMiniUIProgress.h"

#include <algorithm>
#include <utility>

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIProgress);

KxMiniUIProgress::KxMiniUIProgress() { SetDrag(0); }

HRESULT KxMiniUIProgress::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const std::string text = value != nullptr ? value : "";
  if (NamesEqual(name, "min")) {
    minimum_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "max")) {
    maximum_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "value")) {
    value_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "bgskin")) {
    backgroundSkin_.SetName(text);
  } else if (NamesEqual(name, "bgcolor")) {
    backgroundColor_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "posskin")) {
    positionSkin_.SetName(text);
  } else if (NamesEqual(name, "poscolor")) {
    positionColor_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

double KxMiniUIProgress::Fraction() {
  if (maximum_ == minimum_) return 0.0;
  if (maximum_ < minimum_) std::swap(minimum_, maximum_);
  value_ = std::clamp(value_, minimum_, maximum_);
  return static_cast<double>(value_ - minimum_) / static_cast<double>(maximum_ - minimum_);
}

void KxMiniUIProgress::Paint(KxMiniUIRendTarget& canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  if (backgroundSkin_) {
    backgroundSkin_.Draw(canvas, bounds, 0);
  } else if (backgroundColor_ != KxMiniUIStyle::kColorNone) {
    canvas.FillRect(bounds, backgroundColor_, 255);
  }
  const double fraction = Fraction();
  const RECT position{0, 0, static_cast<int>(Width() * fraction), Height()};
  if (position.right <= 0) return;
  if (positionSkin_) {
    positionSkin_.Draw(canvas, position, 0);
  } else if (positionColor_ != KxMiniUIStyle::kColorNone) {
    canvas.FillRect(position, positionColor_, 255);
  }
}
