// "menuitem": one entry of a pop-up menu, a box panel that knows its menu.
// Its id is the command the menu reports when it is chosen; the mouse and
// the menu's arrow keys share one highlight through the menu.
#pragma once

#include "miniui/controls/KxMiniUIBoxPanel.h"

class KxMiniUIMenu;

class KxMiniUIMenuItem : public KxMiniUIBoxPanel {
 public:
  KXMINIUI_DECLARE_TAG("menuitem")

  void SetMenu(KxMiniUIMenu* menu) { menu_ = menu; }
  KxMiniUIMenu* GetMenu() const { return menu_; }

  void OnMouseEnter(POINT point) override;
  // The button (background, border and text), then the focus outline
  // while hovered or pressed.
  void Paint(KxMiniUIRendTarget& canvas) override;
  // The button's, then the same for every child.
  void SetEnabled(bool enabled) override;
  // A fixed "width" or "height" is the item's size in the list.
  SIZE GetContentSize() override;

 private:
  KxMiniUIMenu* menu_ = nullptr;
};
