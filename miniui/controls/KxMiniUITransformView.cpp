#include "miniui/controls/KxMiniUITransformView.h"

#include <cstdio>

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUITransformView);
KXMINIUI_REGISTER_CLASS(KxMiniUIRotateView);
KXMINIUI_REGISTER_CLASS(KxMiniUIMouseInOutAnimate);
KXMINIUI_REGISTER_CLASS(KxMiniUITurn3DView);

using KxMiniUIText::NamesEqual;

namespace {

int ToInt(const char* value) { return static_cast<int>(KxMiniUIValue::Number(value)); }

}  // namespace

HRESULT KxMiniUITransformView::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "interval")) {
    interval_ = ToInt(value);
  } else if (NamesEqual(name, "repeat")) {
    repeat_ = ToInt(value);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

HRESULT KxMiniUIRotateView::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "angle")) {
    angle_ = KxMiniUIValue::Decimal(value);
  } else if (NamesEqual(name, "center")) {
    int x = 0, y = 0;
    if (value == nullptr || std::sscanf(value, "%d,%d", &x, &y) != 2) return kAttrRejected;
    center_ = POINT{x, y};
  } else {
    return KxMiniUITransformView::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

void KxMiniUIRotateView::OnTransformStep(KxMiniUITransformView*, int) { Invalidate(); }
void KxMiniUIRotateView::OnTransformEnded(KxMiniUITransformView*) { Invalidate(); }

HRESULT KxMiniUIMouseInOutAnimate::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "duration")) {
    duration_ = ToInt(value);
    return kAttrTaken;
  }
  if (NamesEqual(name, "animateType")) {
    static const char* const kNames[] = {"fade", "scale", "clip", "ellipseClip"};
    for (int i = 0; i < 4; ++i) {
      if (NamesEqual(value, kNames[i])) {
        animateType_ = i;
        return kAttrTaken;
      }
    }
    return kAttrRejected;
  }
  return KxMiniUITransformView::SetAttribute(name, value, notify);
}

void KxMiniUIMouseInOutAnimate::OnTransformStep(KxMiniUITransformView*, int) { Invalidate(); }
void KxMiniUIMouseInOutAnimate::OnTransformEnded(KxMiniUITransformView*) { Invalidate(); }

HRESULT KxMiniUITurn3DView::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "interval")) {
    interval_ = ToInt(value);
  } else if (NamesEqual(name, "ZStep")) {
    zStep_ = ToInt(value);
  } else if (NamesEqual(name, "YStep")) {
    yStep_ = ToInt(value);
  } else if (NamesEqual(name, "capture_step")) {
    captureStep_ = ToInt(value);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}
