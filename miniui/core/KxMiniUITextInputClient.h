// What a window's input method asks of the view that takes typed text (the
// edit view): where finished text goes, whether the input method may serve
// it at all, and where its caret stands for the composition window.
#pragma once

#include <windows.h>

#include <string>

class KxMiniUITextInputClient {
 public:
  virtual ~KxMiniUITextInputClient() = default;

  // Inserts text the input method has finished composing.
  virtual void CommitText(const std::wstring& text) = 0;
  // False while the view takes no composed text (disabled, read-only,
  // password or digits only): the window then has no input context.
  virtual bool CanUseInputMethod() = 0;
  // The caret as a zero-width rectangle in window client coordinates at 96 dpi.
  virtual RECT GetCaretRect() = 0;
};
