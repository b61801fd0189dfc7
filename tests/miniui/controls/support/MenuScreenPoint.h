// Where a pop-up menu's item sits on the screen, for real clicks on it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "tests/miniui/core/support/ViewPoint.h"

namespace zelk::test {

// The centre of the menu's item at `index`, in screen coordinates.
inline POINT ItemCentre(KxMiniUIMenu& menu, size_t index) {
  return ViewCentreOnScreen(*menu.GetItemAt(index), menu.GetHwnd());
}

}  // namespace zelk::test
