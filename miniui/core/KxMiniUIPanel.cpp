#include "miniui/core/KxMiniUIPanel.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIPanel);

void KxMiniUIPanel::Paint(KxMiniUIRendTarget& canvas) {
  const KxMiniUIStyle& style = GetStyle();
  if (!style.skin.empty()) {
    KxMiniUIView::Paint(canvas);  // the skin, frame 0
    return;
  }
  const KxMiniUIStyleColor& background = style.background[KxMiniUIStyle::kNormal];
  if (background.IsSet() && background.alpha != 0) {
    canvas.FillRect(RECT{0, 0, Width(), Height()}, background.rgb, background.alpha);
  }
}

bool KxMiniUIPanel::IsOpaque() {
  const KxMiniUIStyle& style = GetStyle();
  const KxMiniUIStyleColor& background = style.background[KxMiniUIStyle::kNormal];
  return style.skin.empty() && background.IsSet() && background.alpha == 255;
}
