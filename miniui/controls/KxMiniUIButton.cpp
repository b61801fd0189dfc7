#include "miniui/controls/KxMiniUIButton.h"

#include <algorithm>
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

bool KxMiniUIButton::LoadFromXml(const KxMiniUIXmlNode* node) {
  const bool loaded = KxMiniUITextView::LoadFromXml(node);
  if (!IsEnabled()) SetState(kDisabled);
  return loaded;
}

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

void KxMiniUIButton::Layout() {
  KxMiniUITextView::Layout();
  hitRegion_.Reset();
  if (!roundHit_ || radius_ <= 0) return;
  const int diameter = std::min({Width(), 2 * radius_, Height()});
  hitRegion_.Reset(::CreateRoundRectRgn(0, 0, Width(), Height(), diameter, diameter));
}

bool KxMiniUIButton::HitTest(POINT point) {
  if (radius_ > 0 && hitRegion_) return ::PtInRegion(hitRegion_.Get(), point.x, point.y) != FALSE;
  return point.x >= 0 && point.y >= 0 && point.x < Width() && point.y < Height();
}

// --- The state machine.

void KxMiniUIButton::OnMouseEnter(POINT point) {
  KxMiniUITextView::OnMouseEnter(point);
  if (state_ == kDisabled || state_ == kHover) return;
  // A held press that comes back over the button keeps it pressed.
  if (state_ == kPressed && (sticky_ || HitTest(point))) return;
  SetState(kHover);
}

void KxMiniUIButton::OnMouseLeave(POINT point) {
  KxMiniUITextView::OnMouseLeave(point);
  if (state_ == kDisabled || (sticky_ && state_ == kPressed)) return;
  SetState(kNormal);
}

bool KxMiniUIButton::OnMouseDown(UINT flags, POINT point, bool doubleClick) {
  if ((flags & MK_RBUTTON) != 0 || state_ == kDisabled || !HitTest(point)) return false;
  if (sticky_ && state_ == kPressed) {
    stickyReleaseDue_ = true;
  } else {
    SetState(kPressed);
  }
  if (listener_ != nullptr) {
    if (doubleClick) {
      listener_->OnButtonDoublePressed(this);
    } else {
      listener_->OnButtonPressed(this);
    }
  }
  return true;
}

bool KxMiniUIButton::OnMouseUp(UINT flags, POINT point, UINT) {
  if ((flags & MK_RBUTTON) != 0 || state_ == kDisabled) return false;
  const bool inside = HitTest(point);
  if (!inside && !sticky_) {
    // Pressed here, let go elsewhere: the user changed their mind.
    SetState(kNormal);
    return true;
  }
  if ((inside && !sticky_) || stickyReleaseDue_) {
    stickyReleaseDue_ = false;
    SetState(kHover);
  }
  Click();
  return true;
}

bool KxMiniUIButton::OnKeyDown(UINT key, LPARAM, UINT) {
  if (key != VK_RETURN) return false;
  Click();
  return true;
}

void KxMiniUIButton::OnSetFocus(int reason) {
  if (reason == kFocusByActivation) return;
  OnMouseEnter(POINT{Width() / 2, Height() / 2});
}

void KxMiniUIButton::OnKillFocus() {
  OnMouseLeave(POINT{-1, -1});
  Invalidate();  // takes the focus outline away
}

void KxMiniUIButton::Click() {
  if (listener_ != nullptr) listener_->OnButtonClicked(this);
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root != nullptr ? root->GetHost() : nullptr;
  const HWND window = host != nullptr ? host->GetHostWindow() : nullptr;
  if (window == nullptr || !::IsWindow(window)) return;
  KxMiniUINotification record{};
  record.header.hwndFrom = window;
  record.header.idFrom = kMiniUINotifyControlId;
  record.header.code = kMiniUINotifyClick;
  record.id = GetId();
  record.className = GetClassName();
  record.view = this;
  ::SendMessageW(window, WM_NOTIFY, kClickWordParam, reinterpret_cast<LPARAM>(&record));
}

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
