// "listbox": a vertical list of items in a scroll view. Each visible item
// takes the list's width and its own natural height, one below the other.
#pragma once

#include "miniui/controls/KxMiniUIScrollView.h"

class KxMiniUIListBox : public KxMiniUIScrollView {
 public:
  KXMINIUI_DECLARE_TAG("listbox")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  bool FitsPanelToVisual() const { return panelFitVisual_; }

  // The widest item by the sum of the items' heights.
  SIZE GetContentSize() override;
  void LayoutChildren() override;
  // The index of `item` among the list's children, -1 when it is not one.
  int ItemIndexOf(const KxMiniUIView* item) const;

 private:
  bool panelFitVisual_ = false;
};
