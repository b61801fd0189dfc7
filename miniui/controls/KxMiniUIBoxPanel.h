// "boxpanel": a container that stacks its children, with the clickable
// behaviour of a button (menu items, list rows and combo box entries are
// box panels).
#pragma once

#include <string>

#include "miniui/controls/KxMiniUIButton.h"

class KxMiniUIBoxPanel : public KxMiniUIButton {
 public:
  KXMINIUI_DECLARE_TAG("boxpanel")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The style's skin in the state's frame, else the state's background.
  void Paint(KxMiniUIRendTarget& canvas) override;

  const std::string& GetWidthText() const { return width_; }
  const std::string& GetHeightText() const { return height_; }
  bool Expands() const { return expand_; }
  bool CentresVertically() const { return verticalCentre_; }
  bool FitsWidth() const { return widthFit_; }
  int GetSpecify() const { return specify_; }
  const std::string& GetContent() const { return content_; }

 private:
  std::string width_;
  std::string height_;
  bool expand_ = false;
  bool verticalCentre_ = false;
  bool widthFit_ = false;
  int specify_ = 0;
  std::string content_;
};
