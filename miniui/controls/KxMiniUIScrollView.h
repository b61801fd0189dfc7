// "scrollview": a container whose content may be larger than the view and
// is shown from a scroll position.
#pragma once

#include "miniui/core/KxMiniUIView.h"

class KxMiniUIScrollView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("scrollview")

  POINT GetScrollPosition() const { return scroll_; }
  void SetScrollPosition(POINT position);

 private:
  POINT scroll_{0, 0};
};
