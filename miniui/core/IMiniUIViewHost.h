// What a view tree needs from the window that hosts it: the native handle,
// invalidation, native timers and the tooltip. The framework window
// implements it and hands it to its root view.
#pragma once

#include <windows.h>

#include <string>

class KxMiniUIInputMethod;

class IMiniUIViewHost {
 public:
  virtual HWND GetHostWindow() = 0;
  // False while the window must not paint (the tree is then not invalidated).
  virtual bool IsPaintAllowed() = 0;
  // `rect` in root-view coordinates; `immediate` redraws the window at once.
  virtual void InvalidateHostRect(const RECT& rect, bool immediate) = 0;
  virtual bool SetHostTimer(UINT_PTR id, UINT interval) = 0;
  virtual void KillHostTimer(UINT_PTR id) = 0;
  // Empty text deactivates the tooltip; a width below 1 means no limit.
  virtual void UpdateTooltip(const std::wstring& text, int maxWidth) = 0;
  // The window's input method; none for a host without one.
  virtual KxMiniUIInputMethod* GetInputMethod() { return nullptr; }

 protected:
  ~IMiniUIViewHost() = default;
};
