// "multitext": static text laid out over several lines.
#pragma once

#include "miniui/controls/KxMiniUITextView.h"

class KxMiniUIMultiStatic : public KxMiniUITextView {
 public:
  KXMINIUI_DECLARE_TAG("multitext")

  // Several lines unless the layout says "singleline".
  KxMiniUIMultiStatic();
};
