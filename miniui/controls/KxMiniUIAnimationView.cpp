#include "miniui/controls/KxMiniUIAnimationView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIAnimationView);
KXMINIUI_REGISTER_CLASS(KxMiniUIAnimationPanel);

HRESULT KxMiniUIAnimationPanel::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  if (NamesEqual(name, "duration")) {
    duration_ = number;
  } else if (NamesEqual(name, "interval")) {
    interval_ = number;
  } else if (NamesEqual(name, "type")) {
    type_ = number;
  } else if (NamesEqual(name, "needdelete")) {
    deleteWhenDone_ = number != 0;
  } else if (NamesEqual(name, "OriginalHeight")) {
    originalHeight_ = number;
  } else {
    return KxMiniUIBoxPanel::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}
