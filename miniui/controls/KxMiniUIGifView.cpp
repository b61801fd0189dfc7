#include "miniui/controls/KxMiniUIGifView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIGifView);

HRESULT KxMiniUIGifView::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "interval")) {
    interval_ = static_cast<int>(KxMiniUIValue::Number(value));
    return kAttrTaken;
  }
  return KxMiniUIImageView::SetAttribute(name, value, notify);
}

void KxMiniUIGifView::OnAnimationStep(int step) {
  currentFrame_ = step;
  Invalidate();
}

void KxMiniUIGifView::OnAnimationEnded() { currentFrame_ = 0; }
