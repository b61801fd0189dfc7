// "listbox": a vertical list of items in a scroll view.
#pragma once

#include "miniui/controls/KxMiniUIScrollView.h"

class KxMiniUIListBox : public KxMiniUIScrollView {
 public:
  KXMINIUI_DECLARE_TAG("listbox")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  bool FitsPanelToVisual() const { return panelFitVisual_; }

 private:
  bool panelFitVisual_ = false;
};
