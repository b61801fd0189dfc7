// "scrollbar": a picture skin whose frames are the parts of a scroll bar,
// with the bar's width and the thumb's length and margins for the view that
// draws one.
#pragma once

#include "miniui/core/KxMiniUIPngSkin.h"

class KxMiniUISCrollBarSkin : public KxMiniUIPngSkin {
 public:
  KXMINIUI_DECLARE_TAG("scrollbar")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int BarWidth();
  int ThumbLength();
  int ThumbMarginX();
  int ThumbMarginY();

 private:
  int barWidth_ = 0;
  int thumbLength_ = 0;
  int thumbMarginX_ = 0;
  int thumbMarginY_ = 0;
};
