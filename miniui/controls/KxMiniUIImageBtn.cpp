#include "miniui/controls/KxMiniUIImageBtn.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIImageBtn);

KxMiniUIImageBtn::KxMiniUIImageBtn() { SetDrag(0); }

HRESULT KxMiniUIImageBtn::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "skin")) {
    SetSkinName(value != nullptr ? value : "");
    return kAttrChanged;
  }
  return KxMiniUIButton::SetAttribute(name, value, notify);
}

void KxMiniUIImageBtn::SetSkinName(const std::string& name) {
  skin_.SetName(name);
  Invalidate();
}

SIZE KxMiniUIImageBtn::GetContentSize() { return skin_.FrameSize(); }

void KxMiniUIImageBtn::Paint(KxMiniUIRendTarget& canvas) {
  skin_.Draw(canvas, RECT{0, 0, Width(), Height()}, GetState());
  KxMiniUITextFormat format = GetTextFormat();
  if (format.align == KxMiniUITextFormat::kAlignUnset) format.align = KxMiniUIValue::kAlignCenter;
  if (format.lineAlign == KxMiniUITextFormat::kAlignUnset) format.lineAlign = KxMiniUIValue::kAlignCenter;
  const RECT margin = GetTextMargin();
  RECT box{margin.left, margin.top, Width() - margin.right, Height() - margin.bottom};
  ::OffsetRect(&box, GetTextOffset().x, GetTextOffset().y);
  const std::wstring text = GetText();
  if (!text.empty()) canvas.DrawText(text, box, format, GetTextColor(), KxMiniUITextView::kTrimNone, true);
  PaintFocusOutline(canvas);
}
