#include "miniui/core/KxMiniUIPngStretchSkin.h"

#include <cmath>
#include <cstdlib>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIScaling.h"
#include "miniui/core/KxMiniUIValue.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIPngStretchSkin);

namespace {

// Four comma-separated numbers, each read with automatic base.
bool ParseFourNumbers(const char* text, int (&numbers)[4]) {
  if (text == nullptr) return false;
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    numbers[i] = static_cast<int>(std::strtol(text, &end, 0));
    if (end == text) return false;
    text = end;
    while (*text == ' ') ++text;
    if (i < 3) {
      if (*text != ',') return false;
      ++text;
    }
  }
  return true;
}

int ScaledValue(int value, double scale) { return static_cast<int>(std::lround(value * scale)); }

}  // namespace

HRESULT KxMiniUIPngStretchSkin::SetAttribute(const char* name, const char* value, bool notify) {
  KxMiniUIAutoLock guard(Lock());
  using KxMiniUIText::NamesEqual;
  if (NamesEqual(name, "marginwidth")) {
    margins_.left = margins_.right = ClampedPixels(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "marginheight")) {
    margins_.top = margins_.bottom = ClampedPixels(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "margin")) {
    int numbers[4] = {};
    if (!ParseFourNumbers(value, numbers)) return kAttrRejected;
    margins_ = KxMiniUIMargins{ClampedPixels(numbers[0]), ClampedPixels(numbers[1]), ClampedPixels(numbers[2]),
                               ClampedPixels(numbers[3])};
  } else {
    return KxMiniUIPngSkin::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

KxMiniUIMargins KxMiniUIPngStretchSkin::Margins() {
  KxMiniUIAutoLock guard(Lock());
  return margins_;
}

void KxMiniUIPngStretchSkin::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) {
  KxMiniUIAutoLock guard(Lock());
  ResolvePicture();
  if (!bitmap_ || rect.right <= rect.left || rect.bottom <= rect.top) return;
  if (margins_.left < 0 || margins_.top < 0 || margins_.right < 0 || margins_.bottom < 0) return;
  const SIZE size = FrameSize();
  if (size.cx < margins_.left + margins_.right || size.cy < margins_.top + margins_.bottom) return;
  const double scale = KxMiniUIScaling::PictureFactor();
  const KxMiniUIMargins margins{ScaledValue(margins_.left, scale), ScaledValue(margins_.top, scale),
                                ScaledValue(margins_.right, scale), ScaledValue(margins_.bottom, scale)};
  canvas.Save();
  canvas.Scale(static_cast<float>(1.0 / scale), static_cast<float>(1.0 / scale));
  canvas.DrawNineGrid(Scaled(rect, scale), bitmap_.get(), Scaled(FrameRect(frame), scale), margins);
  canvas.Restore();
}
