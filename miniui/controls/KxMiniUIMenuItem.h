// "menuitem": one entry of a pop-up menu.
#pragma once

#include "miniui/controls/KxMiniUIBoxPanel.h"

class KxMiniUIMenuItem : public KxMiniUIBoxPanel {
 public:
  KXMINIUI_DECLARE_TAG("menuitem")
};
