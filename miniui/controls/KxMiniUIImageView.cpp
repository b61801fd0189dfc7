#include "miniui/controls/KxMiniUIImageView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIImageView);

HRESULT KxMiniUIImageView::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "skin")) {
    SetSkinName(value != nullptr ? value : "");
    return kAttrChanged;
  }
  if (KxMiniUIText::NamesEqual(name, "sub")) {
    frame_ = static_cast<int>(KxMiniUIValue::Number(value));
    return kAttrChanged;
  }
  return KxMiniUITextView::SetAttribute(name, value, notify);
}

void KxMiniUIImageView::SetSkinName(const std::string& name) {
  KxMiniUITextView::SetSkinName(name);
  skin_.SetName(name);
  Invalidate();
}

SIZE KxMiniUIImageView::GetContentSize() { return skin_.FrameSize(); }

void KxMiniUIImageView::Paint(KxMiniUIRendTarget& canvas) {
  skin_.Draw(canvas, RECT{0, 0, Width(), Height()}, frame_);
}
