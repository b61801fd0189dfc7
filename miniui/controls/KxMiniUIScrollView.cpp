#include "miniui/controls/KxMiniUIScrollView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIScrollView);

void KxMiniUIScrollView::SetScrollPosition(POINT position) {
  scroll_ = position;
  Invalidate();
}
