// "menu": a pop-up menu. In a layout it is the view that holds the menu's
// items; the pop-up window that shows it comes with the menu behaviour.
#pragma once

#include "miniui/core/KxMiniUIView.h"

class KxMiniUIMenu : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("menu")
};
