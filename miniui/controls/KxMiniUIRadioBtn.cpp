#include "miniui/controls/KxMiniUIRadioBtn.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIRadioBtn);

HRESULT KxMiniUIRadioBtn::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "group")) {
    group_ = value != nullptr ? value : "";
    return kAttrTaken;
  }
  return KxMiniUiImgChkBox::SetAttribute(name, value, notify);
}
