// Where a view sits in its window, for real clicks on it.
#pragma once

#include <windows.h>

#include "miniui/core/KxMiniUIView.h"

namespace zelk::test {

// The centre of `view` in its window's client coordinates.
inline POINT ViewCentre(const KxMiniUIView& view) {
  return view.ToWindowPoint(POINT{view.Width() / 2, view.Height() / 2});
}

// The same on the screen; `window` is the view's window.
inline POINT ViewCentreOnScreen(const KxMiniUIView& view, HWND window) {
  POINT point = ViewCentre(view);
  ::ClientToScreen(window, &point);
  return point;
}

}  // namespace zelk::test
