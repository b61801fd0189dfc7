// A framework window: a native window whose client area is the view tree of
// a layout. Owners derive from it and see every message first in
// ProcessWindowMessage; what they leave goes to the framework's handling.
#pragma once

#include <windows.h>

#include "miniui/core/KxMiniUIDialogView.h"
#include "miniui/core/KxMiniUIWindowImpl.h"

class KxMiniUISimpleWindow : public KxMiniUIWindowImpl, public KxMiniUIDialogView {
 public:
  static constexpr const wchar_t* kClassName = L"KxMiniUIWindow";
  // The style used when the description and the caller leave none.
  static constexpr DWORD kFallbackStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  static_assert(kFallbackStyle == 0x56000000, "fallback window style");

  // `layoutId` 0: the layout is given as text with SetLayout before Create.
  explicit KxMiniUISimpleWindow(UINT layoutId = 0);
  ~KxMiniUISimpleWindow() override;

  HWND GetHwnd() const override { return Hwnd(); }

  // Loads the layout and creates the native window; `style` and `exStyle`
  // are added to the layout's, a non-empty `rect` replaces its position and
  // size. On an existing window answers its handle and loads nothing.
  HWND Create(HWND parent, DWORD style = 0, DWORD exStyle = 0, const RECT& rect = RECT{0, 0, 0, 0});

 protected:
  // The owner's message map: true when it took the message (`result` is
  // then the answer).
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
