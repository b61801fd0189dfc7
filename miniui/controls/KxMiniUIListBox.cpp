#include "miniui/controls/KxMiniUIListBox.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIListBox);

HRESULT KxMiniUIListBox::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "panelfit-visual")) {
    panelFitVisual_ = KxMiniUIValue::Boolean(value);
    return kAttrTaken;
  }
  return KxMiniUIScrollView::SetAttribute(name, value, notify);
}
