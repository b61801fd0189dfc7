#include "miniui/controls/KxMiniUIIconBtn.h"

#include <algorithm>
#include <cstdio>

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIIconBtn);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseIconPosition(const char* value, int& position) {
  static const char* const kNames[] = {"left", "top", "right", "bottom"};
  for (int i = 0; i < 4; ++i) {
    if (NamesEqual(value, kNames[i])) {
      position = i;
      return true;
    }
  }
  return false;
}

// The longest start of `text` that fits `width` with an ellipsis after it,
// or the whole text when it fits. Measured like the natural size, so a text
// at its natural width is never cut.
std::wstring FitText(KxMiniUIRendTarget& canvas, const std::wstring& text, const KxMiniUITextFormat& format,
                     int width) {
  auto fits = [&](const std::wstring& candidate) {
    SIZE size{0, 0};
    return canvas.MeasureTextSimple(candidate, format, size) && size.cx <= width;
  };
  if (fits(text)) return text;
  for (size_t keep = text.size(); keep-- > 0;) {
    const std::wstring candidate = text.substr(0, keep) + L"\u2026";
    if (fits(candidate)) return candidate;
  }
  return std::wstring(L"\u2026");
}

}  // namespace

HRESULT KxMiniUIIconBtn::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "iconpos")) {
    return ParseIconPosition(value, iconPosition_) ? kAttrChanged : kAttrRejected;
  }
  if (NamesEqual(name, "space")) {
    space_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "bgskin")) {
    backgroundSkin_.SetName(value != nullptr ? value : "");
  } else if (NamesEqual(name, "icon-margin")) {
    iconMargin_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "text-margin")) {
    int left = 0, top = 0, right = 0, bottom = 0;
    if (value == nullptr || std::sscanf(value, "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4) {
      return kAttrRejected;
    }
    iconTextMargin_ = RECT{left, top, right, bottom};
  } else {
    return KxMiniUIImageBtn::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

const KxMiniUISkinRef& KxMiniUIIconBtn::IconSkin() const { return Skin(); }

SIZE KxMiniUIIconBtn::GetContentSize() { return ContentSizeWithIcon(IconSkin().FrameSize()); }

void KxMiniUIIconBtn::SetText(const std::wstring& text, bool repaint) {
  fittedText_.clear();
  KxMiniUIImageBtn::SetText(text, repaint);
}

void KxMiniUIIconBtn::SetTextNoRepaint(const std::wstring& text) {
  fittedText_.clear();
  KxMiniUIImageBtn::SetTextNoRepaint(text);
}

SIZE KxMiniUIIconBtn::ContentSizeWithIcon(SIZE icon) {
  const SIZE text = CalcTextSize();
  SIZE size{text.cx + iconTextMargin_.left + iconTextMargin_.right,
            text.cy + iconTextMargin_.top + iconTextMargin_.bottom};
  if (iconPosition_ == kIconTop || iconPosition_ == kIconBottom) {
    size.cy += icon.cy + iconMargin_ + space_;
    size.cx = std::max(size.cx, icon.cx);
  } else {
    size.cx += icon.cx + iconMargin_ + space_;
    size.cy = std::max(size.cy, icon.cy);
  }
  return size;
}

void KxMiniUIIconBtn::Paint(KxMiniUIRendTarget& canvas) {
  const int width = Width();
  const int height = Height();
  backgroundSkin_.Draw(canvas, RECT{0, 0, width, height}, GetState());
  const SIZE icon = IconSkin().FrameSize();
  RECT iconBox{};
  RECT textBox{0, 0, width, height};
  switch (iconPosition_) {
    case kIconTop:
      iconBox.left = width / 2 - icon.cx / 2;
      iconBox.top = iconMargin_;
      textBox.top = iconMargin_ + icon.cy + space_;
      break;
    case kIconRight:
      iconBox.left = width - iconMargin_ - icon.cx;
      iconBox.top = height / 2 - icon.cy / 2;
      textBox.right = width - iconMargin_ - icon.cx - space_;
      break;
    case kIconBottom:
      iconBox.left = width / 2 - icon.cx / 2;
      iconBox.top = height - iconMargin_ - icon.cy;
      textBox.bottom = height - iconMargin_ - icon.cy - space_;
      break;
    default:
      iconBox.left = iconMargin_;
      iconBox.top = height / 2 - icon.cy / 2;
      textBox.left = iconMargin_ + icon.cx + space_;
      break;
  }
  iconBox.right = iconBox.left + icon.cx;
  iconBox.bottom = iconBox.top + icon.cy;
  IconSkin().Draw(canvas, iconBox, GetState());

  const std::wstring text = GetText();
  if (!text.empty()) {
    // The offset moves where the text starts, not where the view ends: a
    // shifted rectangle reaching past the view would centre the text on
    // pixels that are never shown and cut its last character.
    const RECT unshifted = textBox;
    ::OffsetRect(&textBox, GetTextOffset().x, GetTextOffset().y);
    ::IntersectRect(&textBox, &textBox, &unshifted);
    textBox.left += iconTextMargin_.left;
    textBox.top += iconTextMargin_.top;
    textBox.right -= iconTextMargin_.right;
    textBox.bottom -= iconTextMargin_.bottom;
    const KxMiniUIStyleColor background = GetBgColor();
    if (background.IsSet()) canvas.FillRect(textBox, background.rgb, 255);
    KxMiniUITextFormat format = GetTextFormat();
    if (format.align == KxMiniUITextFormat::kAlignUnset) format.align = KxMiniUIValue::kAlignCenter;
    if (format.lineAlign == KxMiniUITextFormat::kAlignUnset) format.lineAlign = KxMiniUIValue::kAlignCenter;
    if (fittedText_.empty()) {
      fittedText_ = FitText(canvas, text, format, textBox.right - textBox.left);
      SetTrimming(kTrimEllipsisChar);
    }
    canvas.DrawText(fittedText_, textBox, format, GetTextColor(), GetTrimming(), IsSingleLine());
  }
  PaintFocusOutline(canvas);
}
