// A native window bound to a C++ object: the object's WindowProc sees every
// message from the first one on, and hears OnFinalMessage once the window is
// gone. The object pointer lives in the window's extra bytes, so the
// window's user data stays free for the application.
#pragma once

#include <windows.h>

class KxMiniUIWindowImpl {
 public:
  KxMiniUIWindowImpl(const KxMiniUIWindowImpl&) = delete;
  KxMiniUIWindowImpl& operator=(const KxMiniUIWindowImpl&) = delete;

  HWND Hwnd() const { return hwnd_; }
  // The object bound to `window` when it is one of these windows, else none.
  static KxMiniUIWindowImpl* FromHandle(HWND window);

 protected:
  KxMiniUIWindowImpl();
  // A window still alive is unbound and destroyed: no message reaches a
  // half-destroyed object.
  virtual ~KxMiniUIWindowImpl();

  // Registers `className` once with this family's window procedure.
  static bool RegisterWindowClass(const wchar_t* className, UINT classStyle);
  HWND CreateNative(const wchar_t* className, HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                    const RECT& rect);

  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // After WM_NCDESTROY; the handle is already cleared.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};
