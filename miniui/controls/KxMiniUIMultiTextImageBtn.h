// "multitextimgbtn": an image button with one text per state.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUIImageBtn.h"

class KxMiniUIMultiTextImageBtn : public KxMiniUIImageBtn {
 public:
  KXMINIUI_DECLARE_TAG("multitextimgbtn")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The text of the state, else the view's own text.
  std::wstring GetStateText(int state) const;

 protected:
  // Shows the text of the new state.
  void OnStateChanged(int oldState) override;

 private:
  std::wstring texts_[4];
};
