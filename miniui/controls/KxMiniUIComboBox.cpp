#include "miniui/controls/KxMiniUIComboBox.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIComboBox);
KXMINIUI_REGISTER_CLASS(KxMiniUIComboBoxItem);

KxMiniUIComboBox::KxMiniUIComboBox() {
  SetFocusable(1);
  SetDrag(0);
}

HRESULT KxMiniUIComboBox::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const std::string text = value != nullptr ? value : "";
  if (NamesEqual(name, "type")) {
    if (NamesEqual(value, "dropdown")) {
      type_ = kDropDown;
    } else if (NamesEqual(value, "droplist")) {
      type_ = kDropList;
    } else {
      return kAttrRejected;
    }
  } else if (NamesEqual(name, "arrow-skin")) {
    arrowSkin_.SetName(text);
  } else if (NamesEqual(name, "button-skin")) {
    buttonSkin_.SetName(text);
  } else if (NamesEqual(name, "menuitem-height")) {
    menuItemHeight_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}
