#include "miniui/controls/KxMiniUIButton.h"

#include <cstdio>

#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIRootView.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIButton);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseFour(const char* value, RECT& out) {
  int left = 0, top = 0, right = 0, bottom = 0;
  if (value == nullptr || std::sscanf(value, "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4) return false;
  out = RECT{left, top, right, bottom};
  return true;
}

constexpr int kDashDot = 2;  // GDI+ dash style "dot"

}  // namespace

KxMiniUIButton::KxMiniUIButton() { SetFocusable(1); }

HRESULT KxMiniUIButton::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "radius")) {
    radius_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "roundhit")) {
    roundHit_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "borderwidth")) {
    borderWidth_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "SelectState")) {
    sticky_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "crborderFocus")) {
    focusBorder_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "textbtnmargin")) {
    if (!ParseFour(value, textMargin_)) return kAttrRejected;
    return kAttrChanged;
  } else {
    return KxMiniUITextView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

void KxMiniUIButton::SetEnabled(bool enabled) {
  KxMiniUITextView::SetEnabled(enabled);
  if (!enabled) {
    SetState(kDisabled);
  } else if (state_ == kDisabled) {
    SetState(kNormal);
  }
}

void KxMiniUIButton::SetState(int state) {
  if (state == state_) return;
  const int old = state_;
  state_ = state;
  Invalidate();
  OnStateChanged(old);
}

void KxMiniUIButton::OnStateChanged(int) {}

SIZE KxMiniUIButton::GetContentSize() {
  const SIZE text = CalcTextSize();
  return SIZE{text.cx + textMargin_.left + textMargin_.right, text.cy + textMargin_.top + textMargin_.bottom};
}

COLORREF KxMiniUIButton::GetTextColor() {
  const KxMiniUIStyle& style = GetStyle();
  COLORREF color = style.crText;
  switch (state_) {
    case kDisabled:
      color = style.crDisabled;
      break;
    case kHover:
      color = style.crHover;
      break;
    case kPressed:
      color = style.crPressed;
      break;
    default:
      break;
  }
  return color == KxMiniUIStyle::kColorNone ? style.crText : color;
}

KxMiniUITextFormat KxMiniUIButton::GetTextFormat() const {
  KxMiniUITextFormat format = GetStyle().text;
  const unsigned stateStyle = state_ == kHover     ? format.fontStyleHover
                              : state_ == kPressed ? format.fontStylePressed
                                                   : KxMiniUITextFormat::kFontStyleUnset;
  if (stateStyle != KxMiniUITextFormat::kFontStyleUnset) format.fontStyle = stateStyle;
  return format;
}

KxMiniUIStyleColor KxMiniUIButton::GetBgColor() const {
  const KxMiniUIStyle& style = GetStyle();
  const KxMiniUIStyleColor& chosen = style.background[state_];
  return chosen.IsSet() ? chosen : style.background[kNormal];
}

KxMiniUIStyleColor KxMiniUIButton::GetBorderColor() const {
  const KxMiniUIStyle& style = GetStyle();
  const KxMiniUIStyleColor& chosen = style.border[state_];
  return chosen.IsSet() ? chosen : style.border[kNormal];
}

void KxMiniUIButton::Paint(KxMiniUIRendTarget& canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  if (!GetStyle().skin.empty()) {
    KxMiniUISkinRef skin;
    skin.SetName(GetStyle().skin);
    skin.Draw(canvas, bounds, state_);
  } else {
    const KxMiniUIStyleColor background = GetBgColor();
    if (background.IsSet() && background.alpha != 0) {
      if (radius_ < 1) {
        canvas.FillRect(bounds, background.rgb, background.alpha);
      } else {
        canvas.FillRoundRect(bounds, background.rgb, background.alpha, radius_);
      }
    }
  }
  const KxMiniUIStyleColor border = GetBorderColor();
  if (borderWidth_ != 0 && border.IsSet()) {
    if (radius_ < 1) {
      canvas.DrawRect(bounds, border.rgb, static_cast<float>(borderWidth_), 0);
    } else {
      canvas.DrawRoundRect(bounds, border.rgb, border.alpha, static_cast<float>(borderWidth_), radius_);
    }
  }
  RECT box{textMargin_.left, textMargin_.top, Width() - textMargin_.right, Height() - textMargin_.bottom};
  ::OffsetRect(&box, GetTextOffset().x, GetTextOffset().y);
  PaintText(canvas, box, GetTextFormat());
  PaintFocusOutline(canvas);
}

void KxMiniUIButton::PaintText(KxMiniUIRendTarget& canvas, const RECT& box, const KxMiniUITextFormat& format) {
  const std::wstring text = GetText();
  if (!text.empty()) canvas.DrawText(text, box, format, GetTextColor(), GetTrimming(), IsSingleLine());
}

void KxMiniUIButton::PaintFocusOutline(KxMiniUIRendTarget& canvas) {
  if (focusBorder_ == KxMiniUIStyle::kColorNone) return;
  KxMiniUIRootView* root = GetRootView();
  if (root == nullptr || root->GetFocusManager()->GetFocusedView() != this) return;
  const RECT outline{0, 0, Width() - 1, Height() - 1};
  if (radius_ >= 1) {
    canvas.DrawRoundRect(outline, focusBorder_, 255, 1.0f, radius_);
  } else {
    canvas.DrawRect(outline, focusBorder_, 1.0f, kDashDot);
  }
}
