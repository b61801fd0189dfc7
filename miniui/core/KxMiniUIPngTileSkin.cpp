#include "miniui/core/KxMiniUIPngTileSkin.h"

#include <cmath>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIScaling.h"
#include "miniui/core/KxMiniUIValue.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIPngTileSkin);

HRESULT KxMiniUIPngTileSkin::SetAttribute(const char* name, const char* value, bool notify) {
  KxMiniUIAutoLock guard(Lock());
  if (!KxMiniUIText::NamesEqual(name, "marginwidth")) return KxMiniUIPngSkin::SetAttribute(name, value, notify);
  margin_ = ClampedPixels(KxMiniUIValue::Number(value));
  BuildMiddle();
  return kAttrTaken;
}

void KxMiniUIPngTileSkin::OnPictureChanged() { BuildMiddle(); }

void KxMiniUIPngTileSkin::BuildMiddle() {
  middle_.reset();
  if (!bitmap_ || margin_ < 0) return;
  const int cap = static_cast<int>(std::lround(margin_ * KxMiniUIScaling::PictureFactor()));
  middle_ = bitmap_->CloneArea(RECT{cap, 0, bitmap_->Width() - cap, bitmap_->Height()});
}

void KxMiniUIPngTileSkin::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int) {
  KxMiniUIAutoLock guard(Lock());
  ResolvePicture();
  if (!bitmap_ || margin_ < 0 || rect.right <= rect.left || rect.bottom <= rect.top) return;
  const double scale = KxMiniUIScaling::PictureFactor();
  canvas.Save();
  canvas.Scale(static_cast<float>(1.0 / scale), static_cast<float>(1.0 / scale));
  canvas.DrawTiled(Scaled(rect, scale), bitmap_.get(), middle_.get(),
                   static_cast<int>(std::lround(margin_ * scale)));
  canvas.Restore();
}
