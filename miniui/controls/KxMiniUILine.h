// "hr": a horizontal or vertical line through the middle of the view.
#pragma once

#include "miniui/core/KxMiniUIView.h"

class KxMiniUILine : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("hr")

  enum LineType { kHorizontal = 0, kVertical = 1 };
  // The dash styles of GDI+ the "style" words name.
  enum Dash { kSolid = 0, kDash = 1, kDashDot = 3, kDashDotDot = 4 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The style's background, then the line in its colour, width and dash.
  void Paint(KxMiniUIRendTarget& canvas) override;

  int GetSize() const { return size_; }
  int GetLineType() const { return lineType_; }
  COLORREF GetColor() const { return color_; }
  int GetDash() const { return dash_; }

 private:
  int size_ = 1;
  int lineType_ = kHorizontal;
  COLORREF color_ = 0;
  int dash_ = kSolid;
};
