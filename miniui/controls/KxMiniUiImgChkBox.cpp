#include "miniui/controls/KxMiniUiImgChkBox.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUiImgChkBox);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseCheck(const char* value, int& check) {
  static const char* const kNames[] = {"unchecked", "checked", "halfchecked"};
  for (int i = 0; i < 3; ++i) {
    if (NamesEqual(value, kNames[i])) {
      check = i;
      return true;
    }
  }
  return false;
}

}  // namespace

HRESULT KxMiniUiImgChkBox::SetAttribute(const char* name, const char* value, bool notify) {
  const std::string text = value != nullptr ? value : "";
  if (NamesEqual(name, "checked")) {
    int check = check_;
    if (!ParseCheck(value, check)) return kAttrRejected;
    SetCheck(check);
  } else if (NamesEqual(name, "skinchecked")) {
    checkedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinunchecked")) {
    uncheckedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinhalfchecked")) {
    halfCheckedSkin_.SetName(text);
  } else {
    return KxMiniUIIconBtn::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

void KxMiniUiImgChkBox::SetCheck(int check) {
  if (check == check_) return;
  check_ = check;
  Invalidate();
}

const KxMiniUISkinRef& KxMiniUiImgChkBox::IconSkin() const {
  if (check_ == kChecked) return checkedSkin_;
  if (check_ == kHalfChecked && halfCheckedSkin_) return halfCheckedSkin_;
  return uncheckedSkin_;
}
