// How the mouse meets a framework window: which edge or corner of its sizing
// band a point is on (WM_NCHITTEST) and the cursor shown there
// (WM_SETCURSOR): a resize arrow on the band, inside the client area the
// cursor the view under the mouse asks for, elsewhere the arrow.
#pragma once

#include <windows.h>

class KxMiniUIRootView;

class KxMiniUISizingFrame {
 public:
  explicit KxMiniUISizingFrame(KxMiniUIRootView& root) : root_(root) {}
  KxMiniUISizingFrame(const KxMiniUISizingFrame&) = delete;
  KxMiniUISizingFrame& operator=(const KxMiniUISizingFrame&) = delete;

  // The system cursor for hit-test code `code`: the resize arrow of a
  // sizing edge or corner, else the arrow.
  static LPCWSTR CursorFor(UINT code);

  // WM_NCHITTEST at `screenPoint` of `window`: within `band` pixels of an
  // edge of a thick-framed window that is not maximised, that edge's or
  // corner's code; elsewhere the default answer.
  LRESULT HitTest(HWND window, LPARAM screenPoint, int band) const;
  // WM_SETCURSOR on `window`; false when it is about another window (a
  // native child's), which then keeps its own cursor.
  bool SetCursor(HWND window, WPARAM cursorWindow, LPARAM hitCode) const;

 private:
  KxMiniUIRootView& root_;
};
