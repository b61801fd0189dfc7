// "radiobtn": a check box that belongs to a named group.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUiImgChkBox.h"

class KxMiniUIRadioBtn : public KxMiniUiImgChkBox {
 public:
  KXMINIUI_DECLARE_TAG("radiobtn")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  const std::string& GetGroup() const { return group_; }

 private:
  std::string group_;
};
