// Where a pop-up menu's item sits on the screen, for real clicks on it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"

namespace zelk::test {

// The centre of the menu's item at `index`, in screen coordinates.
inline POINT ItemCentre(KxMiniUIMenu& menu, size_t index) {
  KxMiniUIMenuItem* item = menu.GetItemAt(index);
  POINT point = item->ToWindowPoint(POINT{item->Width() / 2, item->Height() / 2});
  ::ClientToScreen(menu.GetHwnd(), &point);
  return point;
}

}  // namespace zelk::test
