// "listctrl", "listctrlhead", "listctrlitem", "listcell": a report list in
// a scroll view, its header, its rows and their cells.
#pragma once

#include "miniui/controls/KxMiniUIButton.h"
#include "miniui/controls/KxMiniUIScrollView.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/core/KxMiniUIStyle.h"

class KxMiniUIListCtrl : public KxMiniUIScrollView {
 public:
  KXMINIUI_DECLARE_TAG("listctrl")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  COLORREF GetBorderColor() const { return borderColor_; }
  bool IsResizeable() const { return resizeable_; }
  int GetItemHeight() const { return itemHeight_; }
  int GetHeadHeight() const { return headHeight_; }
  COLORREF GetItemNormalBackground() const { return itemNormalBackground_; }
  COLORREF GetItemHoverBackground() const { return itemHoverBackground_; }
  COLORREF GetHeadBackground() const { return headBackground_; }

 private:
  COLORREF borderColor_ = KxMiniUIStyle::kColorNone;
  bool resizeable_ = false;
  int itemHeight_ = 0;
  int headHeight_ = 0;
  COLORREF itemNormalBackground_ = KxMiniUIStyle::kColorNone;
  COLORREF itemHoverBackground_ = KxMiniUIStyle::kColorNone;
  COLORREF headBackground_ = KxMiniUIStyle::kColorNone;
};

class KxMiniUIListHeadCtrl : public KxMiniUITextView {
 public:
  KXMINIUI_DECLARE_TAG("listctrlhead")
};

class KxMiniUITableItemPanel : public KxMiniUIButton {
 public:
  KXMINIUI_DECLARE_TAG("listctrlitem")
};

class KxMiniUITableCellPanel : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("listcell")
};
