#include "miniui/controls/KxMiniUIListBox.h"

#include <algorithm>

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIListBox);

HRESULT KxMiniUIListBox::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "panelfit-visual")) {
    panelFitVisual_ = KxMiniUIValue::Boolean(value);
    return kAttrTaken;
  }
  return KxMiniUIScrollView::SetAttribute(name, value, notify);
}

SIZE KxMiniUIListBox::GetContentSize() {
  SIZE size{0, 0};
  for (size_t i = 0; i < GetChildCount(); ++i) {
    KxMiniUIView* item = GetChildAt(i);
    if (!item->IsVisible()) continue;
    const SIZE natural = item->GetContentSize();
    size.cx = std::max(size.cx, natural.cx);
    size.cy += natural.cy;
  }
  return size;
}

void KxMiniUIListBox::LayoutChildren() {
  int top = 0;
  for (size_t i = 0; i < GetChildCount(); ++i) {
    KxMiniUIView* item = GetChildAt(i);
    if (!item->IsVisible()) continue;
    const int height = item->GetContentSize().cy;
    item->SetRect(RECT{0, top, Width(), top + height}, false);
    item->LayoutChildren();
    top += height;
  }
}

int KxMiniUIListBox::ItemIndexOf(const KxMiniUIView* item) const {
  for (size_t i = 0; i < GetChildCount(); ++i) {
    if (GetChildAt(i) == item) return static_cast<int>(i);
  }
  return -1;
}
