#include "miniui/controls/KxMiniUITextView.h"

#include <cstdio>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUITextView);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseTrimming(const char* value, int& trimming) {
  static const char* const kNames[] = {"none", "char", "word", "elipsischar", "elipsisword", "path"};
  for (int i = 0; i < 6; ++i) {
    if (NamesEqual(value, kNames[i])) {
      trimming = i;
      return true;
    }
  }
  return false;
}

}  // namespace

bool KxMiniUITextView::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  text_ = KxMiniUIText::FromUtf8(node->value(), node->value_size());
  return KxMiniUIView::LoadFromXml(node);
}

HRESULT KxMiniUITextView::SetAttribute(const char* name, const char* value, bool notify) {
  if (value == nullptr) value = "";
  if (NamesEqual(name, "trimming")) {
    return ParseTrimming(value, trimming_) ? kAttrChanged : kAttrRejected;
  }
  if (NamesEqual(name, "singleline")) {
    singleLine_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "textoffset")) {
    int x = 0, y = 0;
    if (std::sscanf(value, "%d,%d", &x, &y) != 2) return kAttrRejected;
    textOffset_ = POINT{x, y};
    return kAttrChanged;
  } else if (NamesEqual(name, "tip")) {
    tooltip_ = KxMiniUIText::FromUtf8(value);
  } else if (NamesEqual(name, "tipwidth")) {
    tooltipWidth_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "autocalctooltip")) {
    autoTooltip_ = KxMiniUIValue::Boolean(value);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

SIZE KxMiniUITextView::GetContentSize() { return CalcTextSize(); }

void KxMiniUITextView::Paint(KxMiniUIRendTarget& canvas) {
  KxMiniUIView::Paint(canvas);
  if (text_.empty()) return;
  RECT box{0, 0, Width(), Height()};
  ::OffsetRect(&box, textOffset_.x, textOffset_.y);
  canvas.DrawText(text_, box, GetStyle().text, GetTextColor(), trimming_, singleLine_);
}

void KxMiniUITextView::SetTooltipText(const std::wstring& text) { tooltip_ = text; }

std::wstring KxMiniUITextView::GetTooltipText() { return tooltipAllowed_ ? tooltip_ : std::wstring(); }

void KxMiniUITextView::Layout() {
  KxMiniUIView::Layout();
  // With "autocalctooltip" the tooltip is only for a text cut by the view.
  if (!autoTooltip_) return;
  if (measured_.cx == 0) CalcTextSize();
  if (Width() >= measured_.cx) tooltipAllowed_ = false;
}

void KxMiniUITextView::SetTooltipWidth(int width) { tooltipWidth_ = width; }
int KxMiniUITextView::GetTooltipWidth() { return tooltipWidth_; }

std::wstring KxMiniUITextView::GetText() const { return text_; }

void KxMiniUITextView::SetText(const std::wstring& text, bool repaint) {
  text_ = text;
  if (repaint) Invalidate();
}

void KxMiniUITextView::SetTextNoRepaint(const std::wstring& text) { text_ = text; }

SIZE KxMiniUITextView::CalcTextSize() {
  SIZE size{0, 0};
  if (!text_.empty()) {
    KxMiniUICanvasGdiplus measuring(1, 1, true);
    if (!measuring.MeasureTextSimple(text_, GetStyle().text, size)) size = SIZE{0, 0};
  }
  measured_ = size;
  return SIZE{size.cx + textOffset_.x, size.cy + textOffset_.y};
}

COLORREF KxMiniUITextView::GetTextColor() {
  const KxMiniUIStyle& style = GetStyle();
  if (!IsEnabled() && style.crDisabled != KxMiniUIStyle::kColorNone) return style.crDisabled;
  return style.crText;
}
