#include "miniui/core/KxMiniUIFrameWindow.h"

#include "miniui/core/KxMiniUIAppModule.h"

KxMiniUIFrameWindow::KxMiniUIFrameWindow(UINT layoutId) : KxMiniUISimpleWindow(layoutId) {}

KxMiniUIFrameWindow::~KxMiniUIFrameWindow() {
  // Destroyed here so the loop hears of it while this object is whole.
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
}

bool KxMiniUIFrameWindow::PreTranslateMessage(MSG&) { return false; }

bool KxMiniUIFrameWindow::OnIdle() { return false; }

LRESULT KxMiniUIFrameWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = KxMiniUISimpleWindow::WindowProc(message, wParam, lParam);
  if (message == WM_CREATE && result != -1) {
    registeredLoop_ = KxMiniUIAppModule::Instance().GetMessageLoop();
    if (registeredLoop_ != nullptr) {
      registeredLoop_->AddMessageFilter(this);
      registeredLoop_->AddIdleHandler(this);
    }
  } else if (message == WM_DESTROY) {
    if (registeredLoop_ != nullptr) {
      registeredLoop_->RemoveMessageFilter(this);
      registeredLoop_->RemoveIdleHandler(this);
      registeredLoop_ = nullptr;
    }
    ::PostQuitMessage(0);
  }
  return result;
}
