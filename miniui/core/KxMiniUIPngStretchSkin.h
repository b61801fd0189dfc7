// A nine-grid picture skin: corners at their natural size, edges stretched
// along their length, the centre stretched both ways.
#pragma once

#include "miniui/core/KxMiniUIPngSkin.h"

class KxMiniUIPngStretchSkin : public KxMiniUIPngSkin {
 public:
  KXMINIUI_DECLARE_TAG("imgstretch")

  // "marginwidth" (left and right), "marginheight" (top and bottom),
  // "margin" (left, top, right, bottom), then the picture's attributes.
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) override;

  KxMiniUIMargins Margins();

 private:
  KxMiniUIMargins margins_;
};
