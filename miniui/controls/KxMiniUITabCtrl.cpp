#include "miniui/controls/KxMiniUITabCtrl.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUITabCtrl);
KXMINIUI_REGISTER_CLASS(KxMiniUITab);
KXMINIUI_REGISTER_CLASS(KxMiniUITabIcon);

using KxMiniUIText::NamesEqual;

HRESULT KxMiniUITabCtrl::SetAttribute(const char* name, const char* value, bool notify) {
  const std::string text = value != nullptr ? value : "";
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  if (NamesEqual(name, "tabclass")) {
    tabClass_ = text;
  } else if (NamesEqual(name, "cursel")) {
    currentSelection_ = number;
  } else if (NamesEqual(name, "tabwidth")) {
    tabWidth_ = number;
  } else if (NamesEqual(name, "tabheight")) {
    tabHeight_ = number;
  } else if (NamesEqual(name, "tabpos")) {
    tabPosition_ = text;
  } else if (NamesEqual(name, "tabspacing")) {
    tabSpacing_ = number;
  } else if (NamesEqual(name, "tabskin")) {
    tabSkin_.SetName(text);
  } else if (NamesEqual(name, "iconskin")) {
    iconSkin_.SetName(text);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

HRESULT KxMiniUITab::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "title")) {
    title_ = KxMiniUIText::FromUtf8(value != nullptr ? value : "");
  } else if (NamesEqual(name, "hide")) {
    hidden_ = KxMiniUIValue::Boolean(value);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}
