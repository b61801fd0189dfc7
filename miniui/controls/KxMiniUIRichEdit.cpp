#include "miniui/controls/KxMiniUIRichEdit.h"

#include <cstdio>

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIRichEdit);

KxMiniUIRichEdit::KxMiniUIRichEdit() {
  SetFocusable(1);
  SetDrag(0);
}

HRESULT KxMiniUIRichEdit::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  if (NamesEqual(name, "notifychanged")) {
    notifyChanged_ = number != 0;
  } else if (NamesEqual(name, "readonly")) {
    readOnly_ = number != 0;
  } else if (NamesEqual(name, "wantreturn")) {
    wantReturn_ = number != 0;
  } else if (NamesEqual(name, "lineheight")) {
    lineHeight_ = number;
  } else if (NamesEqual(name, "limit")) {
    limit_ = number;
  } else if (NamesEqual(name, "placeholder")) {
    placeholder_ = KxMiniUIText::FromUtf8(value != nullptr ? value : "");
  } else if (NamesEqual(name, "crplaceholder")) {
    placeholderColor_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "placeholderoffset")) {
    int x = 0, y = 0;
    if (value == nullptr || std::sscanf(value, "%d,%d", &x, &y) != 2) return kAttrRejected;
    placeholderOffset_ = POINT{x, y};
  } else if (NamesEqual(name, "crcaret")) {
    caretColor_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "caret-height")) {
    caretHeight_ = number;
  } else {
    return KxMiniUIScrollView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}
