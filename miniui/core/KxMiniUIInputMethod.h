// One window's link to the system input method (IMM32): which view takes
// the composed text, whether the window has an input context at all, where
// the composition window stands, and the text a finished composition hands
// over. The window owns one and feeds it its WM_IME_* messages.
#pragma once

#include <windows.h>

#include <string>

#include "miniui/core/KxMiniUITextInputClient.h"

class KxMiniUIInputMethod {
 public:
  KxMiniUIInputMethod() = default;
  KxMiniUIInputMethod(const KxMiniUIInputMethod&) = delete;
  KxMiniUIInputMethod& operator=(const KxMiniUIInputMethod&) = delete;

  // The window this serves; none when it has no live handle (then nothing
  // is associated or placed).
  void Attach(HWND window);
  void Detach();
  HWND GetWindow() const { return window_; }

  // The view taking composed text (none: no view). A focus change, so the
  // composition report is cleared.
  void SetClient(KxMiniUITextInputClient* client);
  KxMiniUITextInputClient* GetClient() const { return client_; }

  // A client that can use the input method gets the window's default input
  // context back; otherwise a running composition is cancelled and the
  // window loses its input context, so no candidate window appears.
  void UpdateAssociation();

  // True while composition text is being edited: keys then belong to the
  // input method, not to the view.
  bool IsReportingComposition() const { return reporting_; }
  bool IsComposing() const { return composing_; }

  // WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_COMPOSITION.
  // Each answers true when the message is consumed (the default handling
  // must not run); start and end always leave it to the default handling.
  bool OnStartComposition();
  bool OnEndComposition();
  bool OnComposition(LPARAM changes);

 private:
  // Puts the composition window at the client's caret (device pixels).
  void PlaceCompositionWindow();
  // The finished text of the running composition; empty when there is none.
  std::wstring ReadResultString() const;

  HWND window_ = nullptr;
  KxMiniUITextInputClient* client_ = nullptr;
  bool reporting_ = false;
  bool composing_ = false;
  POINT lastPosition_{0, 0};
};
