// The hit-test code of a point in a window's sizing band: corners first, then
// the edges; `none` when the point touches no edge.
#pragma once

#include <windows.h>

struct KxMiniUISizingEdges {
  bool left = false;
  bool right = false;
  bool top = false;
  bool bottom = false;
};

inline LRESULT SizingHitCode(const KxMiniUISizingEdges& at, LRESULT none) {
  if (at.top && at.left) return HTTOPLEFT;
  if (at.top && at.right) return HTTOPRIGHT;
  if (at.bottom && at.left) return HTBOTTOMLEFT;
  if (at.bottom && at.right) return HTBOTTOMRIGHT;
  if (at.left) return HTLEFT;
  if (at.right) return HTRIGHT;
  if (at.top) return HTTOP;
  if (at.bottom) return HTBOTTOM;
  return none;
}
