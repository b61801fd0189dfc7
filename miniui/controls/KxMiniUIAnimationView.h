// "animation" (a view that names itself "animationview") plays frames;
// "animate_panel" is a box panel that animates its size.
#pragma once

#include "miniui/controls/KxMiniUIBoxPanel.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIAnimationView : public KxMiniUIView {
 public:
  // Created by the tag "animation".
  static constexpr const char* kTag = "animation";
  static constexpr const char* kClassName = "animationview";
  const char* GetClassName() const override { return kClassName; }
  bool IsKindOf(const char* name) const override { return KxMiniUIText::NamesEqual(name, kClassName); }
};

class KxMiniUIAnimationPanel : public KxMiniUIBoxPanel {
 public:
  KXMINIUI_DECLARE_TAG("animate_panel")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetDuration() const { return duration_; }
  int GetInterval() const { return interval_; }
  int GetType() const { return type_; }
  bool DeletesWhenDone() const { return deleteWhenDone_; }
  int GetOriginalHeight() const { return originalHeight_; }

 private:
  int duration_ = 0;
  int interval_ = 0;
  int type_ = 0;
  bool deleteWhenDone_ = false;
  int originalHeight_ = 0;
};
