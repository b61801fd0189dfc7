#include "miniui/controls/KxMiniUIMenuItem.h"

#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMenuItem);

namespace {
constexpr int kDashDot = 2;  // GDI+ dash style "dot", as the button's focus outline
}  // namespace

void KxMiniUIMenuItem::OnMouseEnter(POINT point) {
  const int before = GetState();
  KxMiniUIBoxPanel::OnMouseEnter(point);
  if (GetState() == kHover && before != kHover && menu_ != nullptr) menu_->OnItemHighlighted(this);
}

void KxMiniUIMenuItem::Paint(KxMiniUIRendTarget& canvas) {
  // The button's painting, not the box panel's: an item shows its text.
  KxMiniUIButton::Paint(canvas);
  // The highlighted entry carries the outline whether or not it holds the
  // focus: the arrow keys move the highlight, not the focus.
  if (GetState() != kHover && GetState() != kPressed) return;
  const COLORREF outline = GetFocusBorderColor();
  if (outline == KxMiniUIStyle::kColorNone) return;
  canvas.DrawRect(RECT{0, 0, Width() - 1, Height() - 1}, outline, 1.0f, kDashDot);
}

void KxMiniUIMenuItem::SetEnabled(bool enabled) {
  KxMiniUIBoxPanel::SetEnabled(enabled);
  for (size_t i = 0; i < GetChildCount(); ++i) GetChildAt(i)->SetEnabled(enabled);
}

SIZE KxMiniUIMenuItem::GetContentSize() {
  SIZE size = KxMiniUIBoxPanel::GetContentSize();
  const KxMiniUIViewLayout& layout = GetLayout();
  if ((layout.Mode() & KxMiniUIViewLayout::kWidthMask) == KxMiniUIViewLayout::kWidthFixed) {
    size.cx = layout.FixedWidth();
  }
  if ((layout.Mode() & KxMiniUIViewLayout::kHeightMask) == KxMiniUIViewLayout::kHeightFixed) {
    size.cy = layout.FixedHeight();
  }
  return size;
}
