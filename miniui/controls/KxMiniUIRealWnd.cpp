#include "miniui/controls/KxMiniUIRealWnd.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIRealWnd);

KxMiniUIRealWnd::~KxMiniUIRealWnd() { Attach(nullptr); }

void KxMiniUIRealWnd::Attach(HWND window) {
  if (window_ != nullptr && window_ != window && ::IsWindow(window_)) ::DestroyWindow(window_);
  window_ = window;
  Reposition();
}

void KxMiniUIRealWnd::Reposition() {
  if (window_ == nullptr || !::IsWindow(window_)) return;
  const POINT origin = ToWindowPoint(POINT{0, 0});
  ::SetWindowPos(window_, nullptr, origin.x, origin.y, Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window_, IsVisible() ? SW_SHOWNA : SW_HIDE);
}

void KxMiniUIRealWnd::Layout() {
  KxMiniUIView::Layout();
  Reposition();
}

void KxMiniUIRealWnd::SetVisible(bool visible) {
  KxMiniUIView::SetVisible(visible);
  Reposition();
}
