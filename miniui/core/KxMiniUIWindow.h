// The interface every framework window offers: its native handle, the root
// of its view tree and its back-buffer holder.
#pragma once

#include <windows.h>

class KxMiniUIRootView;
class KxMiniUIRenderTargetHolder;

class KxMiniUIWindow {
 public:
  virtual ~KxMiniUIWindow() = default;
  virtual HWND GetHwnd() const = 0;
  virtual KxMiniUIRootView* GetRootView() = 0;
  // None here; windows that paint through a back buffer answer it.
  virtual KxMiniUIRenderTargetHolder* GetRootHolder() { return nullptr; }
};
