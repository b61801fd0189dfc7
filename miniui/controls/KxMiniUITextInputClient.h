// What the window's input-method handling asks of the view that takes
// typed text (the edit view).
#pragma once

#include <windows.h>

#include <string>

class KxMiniUITextInputClient {
 public:
  // Composition started, changed (the text so far) and ended.
  virtual void OnCompositionStart() = 0;
  virtual void OnCompositionUpdate(const std::wstring& text) = 0;
  virtual void OnCompositionEnd(const std::wstring& result) = 0;
  // Where the candidate window goes, in window client coordinates.
  virtual POINT GetCompositionPoint() = 0;

 protected:
  ~KxMiniUITextInputClient() = default;
};
