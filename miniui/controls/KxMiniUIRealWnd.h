// "realwnd": a view that hosts a real child window and keeps it over its own
// rectangle. The window is given by code; the view owns it once given.
#pragma once

#include "miniui/core/KxMiniUIView.h"

class KxMiniUIRealWnd : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("realwnd")

  ~KxMiniUIRealWnd() override;

  // Takes `window` (a child of the hosting window); the old one is destroyed.
  void Attach(HWND window);
  HWND GetWindow() const { return window_; }
  // Moves the hosted window over the view's rectangle in the window.
  void Reposition();
  void Layout() override;
  void SetVisible(bool visible) override;

 private:
  HWND window_ = nullptr;
};
