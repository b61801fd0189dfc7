#include "miniui/controls/KxMiniUIEditView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIEditView);

KxMiniUIEditView::KxMiniUIEditView() {
  SetFocusable(1);
  SetDrag(0);
}

void KxMiniUIEditView::OnCompositionStart() { composing_ = true; }

void KxMiniUIEditView::OnCompositionUpdate(const std::wstring&) { Invalidate(); }

void KxMiniUIEditView::OnCompositionEnd(const std::wstring& result) {
  composing_ = false;
  if (!result.empty()) SetText(GetText() + result, true);
}

POINT KxMiniUIEditView::GetCompositionPoint() { return ToWindowPoint(POINT{0, Height()}); }
