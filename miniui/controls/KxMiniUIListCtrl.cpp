#include "miniui/controls/KxMiniUIListCtrl.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIListCtrl);
KXMINIUI_REGISTER_CLASS(KxMiniUIListHeadCtrl);
KXMINIUI_REGISTER_CLASS(KxMiniUITableItemPanel);
KXMINIUI_REGISTER_CLASS(KxMiniUITableCellPanel);

HRESULT KxMiniUIListCtrl::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  const COLORREF color = KxMiniUIValue::ParseColor(value, false).rgb;
  if (NamesEqual(name, "crboard")) {
    borderColor_ = color;
  } else if (NamesEqual(name, "resizeable")) {
    resizeable_ = number != 0;
  } else if (NamesEqual(name, "itemheight")) {
    itemHeight_ = number;
  } else if (NamesEqual(name, "headheight")) {
    headHeight_ = number;
  } else if (NamesEqual(name, "critemnormalbg")) {
    itemNormalBackground_ = color;
  } else if (NamesEqual(name, "critemhoverbg")) {
    itemHoverBackground_ = color;
  } else if (NamesEqual(name, "crheadbg")) {
    headBackground_ = color;
  } else {
    return KxMiniUIScrollView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}
