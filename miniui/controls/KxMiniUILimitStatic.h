// "limittext": text cut to the view's width, as a path ("path") or with an
// ellipsis after a character ("common").
#pragma once

#include "miniui/controls/KxMiniUITextView.h"

class KxMiniUILimitStatic : public KxMiniUITextView {
 public:
  KXMINIUI_DECLARE_TAG("limittext")

  enum LimitType { kLimitCommon = 0, kLimitPath = 1 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  int GetLimitType() const { return limitType_; }
  bool IsLineAlignEnabled() const { return lineAlign_; }

 private:
  int limitType_ = kLimitCommon;
  bool lineAlign_ = false;
};
