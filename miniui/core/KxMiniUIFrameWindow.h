// The application's main framework window: while it lives it is a message
// filter and an idle handler of its thread's message loop, and destroying it
// ends that loop.
#pragma once

#include <windows.h>

#include "miniui/core/KxMiniUIMessageLoop.h"
#include "miniui/core/KxMiniUISimpleWindow.h"

class KxMiniUIFrameWindow : public KxMiniUISimpleWindow,
                            public KxMiniUIMessageFilter,
                            public KxMiniUIIdleHandler {
 public:
  explicit KxMiniUIFrameWindow(UINT layoutId = 0);
  ~KxMiniUIFrameWindow() override;

  bool PreTranslateMessage(MSG& message) override;
  bool OnIdle() override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  KxMiniUIMessageLoop* registeredLoop_ = nullptr;
};
