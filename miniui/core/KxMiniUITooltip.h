// The tooltip control of a framework window: one tool that covers the whole
// client area and shows the text of the view under the mouse. The control
// is an owned window of the framework window, so it goes with it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

class KxMiniUITooltip {
 public:
  KxMiniUITooltip() = default;
  KxMiniUITooltip(const KxMiniUITooltip&) = delete;
  KxMiniUITooltip& operator=(const KxMiniUITooltip&) = delete;

  // Makes the control for `owner` unless it already has one; nothing when
  // the common controls are not initialised.
  void Create(HWND owner);
  // The owner's client area changed: the tool covers it again.
  void FitToOwner();
  // Shows `text` at most `maxWidth` pixels wide (-1: no limit); empty text
  // deactivates the tooltip.
  void Update(const std::wstring& text, int maxWidth);
  // The owner is being destroyed, and the control with it.
  void Forget();
  HWND GetHwnd() const { return window_; }

 private:
  TOOLINFOW ToolInfo() const;

  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  // The control reads the text it is given until the next update.
  std::wstring text_;
};
