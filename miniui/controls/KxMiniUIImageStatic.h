// "imgtext": a static of image and text, drawn like a button but never
// clicked.
#pragma once

#include "miniui/controls/KxMiniUIButton.h"

class KxMiniUIImageStatic : public KxMiniUIButton {
 public:
  KXMINIUI_DECLARE_TAG("imgtext")
};
