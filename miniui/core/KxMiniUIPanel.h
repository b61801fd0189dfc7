// "dlg": the plain container. Paints its skin, else its background colour
// at the colour's own alpha.
#pragma once

#include "miniui/core/KxMiniUIView.h"

class KxMiniUIPanel : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("dlg")

  void Paint(KxMiniUIRendTarget& canvas) override;
  // Only a panel without a skin whose background is fully opaque.
  bool IsOpaque() override;
};
