// "combobox", "ComboBoxItem": a drop-down box and one of its entries.
#pragma once

#include "miniui/controls/KxMiniUIBoxPanel.h"
#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIComboBox : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("combobox")

  enum Type { kDropDown = 0, kDropList = 1 };

  KxMiniUIComboBox();

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetType() const { return type_; }
  const KxMiniUISkinRef& ArrowSkin() const { return arrowSkin_; }
  const KxMiniUISkinRef& ButtonSkin() const { return buttonSkin_; }
  int GetMenuItemHeight() const { return menuItemHeight_; }

 private:
  int type_ = kDropDown;
  KxMiniUISkinRef arrowSkin_;
  KxMiniUISkinRef buttonSkin_;
  int menuItemHeight_ = 0;
};

class KxMiniUIComboBoxItem : public KxMiniUIBoxPanel {
 public:
  KXMINIUI_DECLARE_TAG("ComboBoxItem")
};
