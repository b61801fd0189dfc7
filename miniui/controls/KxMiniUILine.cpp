#include "miniui/controls/KxMiniUILine.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUILine);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseDash(const char* value, int& dash) {
  struct Name {
    const char* text;
    int dash;
  };
  static const Name kNames[] = {{"solid", KxMiniUILine::kSolid},
                                {"dash", KxMiniUILine::kDash},
                                {"dashdot", KxMiniUILine::kDashDot},
                                {"dashdotdot", KxMiniUILine::kDashDotDot}};
  for (const Name& name : kNames) {
    if (NamesEqual(value, name.text)) {
      dash = name.dash;
      return true;
    }
  }
  return false;
}

}  // namespace

HRESULT KxMiniUILine::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "style")) return ParseDash(value, dash_) ? kAttrChanged : kAttrRejected;
  if (NamesEqual(name, "size")) {
    size_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "linetype")) {
    lineType_ = KxMiniUIValue::Number(value) != 0 ? kVertical : kHorizontal;
  } else if (NamesEqual(name, "color")) {
    color_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

void KxMiniUILine::Paint(KxMiniUIRendTarget& canvas) {
  KxMiniUIView::Paint(canvas);
  if (size_ <= 0) return;
  const bool vertical = lineType_ == kVertical;
  const POINT from = vertical ? POINT{Width() / 2, 0} : POINT{0, Height() / 2};
  const POINT to = vertical ? POINT{Width() / 2, Height()} : POINT{Width(), Height() / 2};
  canvas.DrawLine(from, to, color_, static_cast<float>(size_), dash_);
}
