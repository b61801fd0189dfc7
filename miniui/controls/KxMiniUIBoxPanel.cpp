#include "miniui/controls/KxMiniUIBoxPanel.h"

#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIBoxPanel);

HRESULT KxMiniUIBoxPanel::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const std::string text = value != nullptr ? value : "";
  if (NamesEqual(name, "width")) {
    width_ = text;
  } else if (NamesEqual(name, "height")) {
    height_ = text;
  } else if (NamesEqual(name, "expand")) {
    expand_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "v-center")) {
    verticalCentre_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "widthfit")) {
    widthFit_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "specify")) {
    specify_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "content")) {
    content_ = text;
  } else {
    return KxMiniUIButton::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

void KxMiniUIBoxPanel::Paint(KxMiniUIRendTarget& canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  if (!GetStyle().skin.empty()) {
    KxMiniUISkinRef skin;
    skin.SetName(GetStyle().skin);
    skin.Draw(canvas, bounds, GetState());
    return;
  }
  const KxMiniUIStyleColor background = GetBgColor();
  if (background.IsSet() && background.alpha != 0) canvas.FillRect(bounds, background.rgb, background.alpha);
}
