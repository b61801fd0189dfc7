// A control's reference to a skin of the skin pool, taken by name. The pool
// owns the skin; the control shares it, so a skins refresh that replaces the
// picture is seen at the next paint.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "miniui/core/KxMiniUIRendTarget.h"
#include "miniui/core/KxMiniUISkin.h"

class KxMiniUISkinRef {
 public:
  // Looks the name up in the skin pool; an unknown name leaves no skin.
  void SetName(const std::string& name);
  const std::string& Name() const { return name_; }
  KxMiniUISkin* Get() const { return skin_.get(); }
  explicit operator bool() const { return skin_ != nullptr; }

  // Draws `frame` over `rect`; nothing without a skin.
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) const;
  // The natural size of one frame; 0 x 0 without a skin.
  SIZE FrameSize() const;

 private:
  std::string name_;
  std::shared_ptr<KxMiniUISkin> skin_;
};
