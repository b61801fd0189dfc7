// "progress": a bar filled from the left by the value's share of the range,
// drawn from a background and a position skin (or colours).
#pragma once

#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIStyle.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIProgress : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("progress")

  // A press on the bar never drags the window.
  KxMiniUIProgress();

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Swaps a reversed range and clamps the value into it before drawing.
  void Paint(KxMiniUIRendTarget& canvas) override;

  int GetMinimum() const { return minimum_; }
  int GetMaximum() const { return maximum_; }
  int GetValue() const { return value_; }

 private:
  // The value's share of the range, after putting the range in order.
  double Fraction();

  int minimum_ = 0;
  int maximum_ = 0;
  int value_ = 0;
  KxMiniUISkinRef backgroundSkin_;
  COLORREF backgroundColor_ = KxMiniUIStyle::kColorNone;
  KxMiniUISkinRef positionSkin_;
  COLORREF positionColor_ = KxMiniUIStyle::kColorNone;
};
