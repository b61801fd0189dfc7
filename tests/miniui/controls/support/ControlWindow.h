// A real framework window built from layout text for the control tests:
// it records every WM_NOTIFY the views send, drives the mouse through the
// system's input queue (the cursor moves, the button goes down and up as a
// user's would), sends keys, and reads pixels back from its back buffer.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUINotification.h"
#include "miniui/core/KxMiniUIRenderTargetHolder.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISimpleWindow.h"
#include "tests/miniui/core/support/WindowTestSupport.h"

namespace zelk::test {

// `body` is placed on a white panel filling a `width` x `height` window.
inline std::string ControlLayout(const std::string& body, int width = 300, int height = 160) {
  return "<layer title=\"KxControlTest\" width=\"" + std::to_string(width) + "\" height=\"" +
         std::to_string(height) + "\"><body><dlg id=\"9999\" pos=\"0,0,-0,-0\" crbg=\"FFFFFF\">" + body +
         "</dlg></body></layer>";
}

class ControlWindow : public KxMiniUISimpleWindow {
 public:
  struct Notice {
    UINT code;
    WPARAM wParam;
    UINT_PTR controlId;
    int viewId;
    std::string className;
  };

  explicit ControlWindow(const std::string& layout) {
    EXPECT_TRUE(SetLayout(layout));
    EXPECT_NE(Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
    if (GetHwnd() == nullptr) return;
    ::ShowWindow(GetHwnd(), SW_SHOW);
    ::SetForegroundWindow(GetHwnd());
    ::UpdateWindow(GetHwnd());
    PumpFor(150);
  }

  template <typename T>
  T* View(int id) {
    return dynamic_cast<T*>(GetRootView()->FindViewById(id));
  }

  // Click notifications (code 1) in the order they came.
  std::vector<Notice> Clicks() const {
    std::vector<Notice> clicks;
    for (const Notice& notice : notices) {
      if (notice.code == kMiniUINotifyClick) clicks.push_back(notice);
    }
    return clicks;
  }

  // --- Real mouse input at client coordinates.
  void MoveTo(int x, int y) {
    POINT screen{x, y};
    ::ClientToScreen(GetHwnd(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    PumpFor(80);
  }
  void Button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
    PumpFor(80);
  }
  void Press() { Button(MOUSEEVENTF_LEFTDOWN); }
  void Release() { Button(MOUSEEVENTF_LEFTUP); }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    Press();
    Release();
  }

  // Keys as the window's procedure receives them.
  void Key(UINT key) {
    ::SendMessageW(GetHwnd(), WM_KEYDOWN, key, 1);
    ::SendMessageW(GetHwnd(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    PumpMessages();
  }

  // --- The back buffer after a fresh paint (top row first).
  COLORREF PixelAt(int x, int y) {
    const BYTE* p = Pixels() + (static_cast<size_t>(y) * Canvas()->GetWidth() + x) * 4;
    return RGB(p[2], p[1], p[0]);
  }
  // Every colour in `area` that differs from `background`.
  std::vector<COLORREF> InkIn(const RECT& area, COLORREF background) {
    std::vector<COLORREF> ink;
    Pixels();
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        const BYTE* p = Pixels(false) + (static_cast<size_t>(y) * Canvas()->GetWidth() + x) * 4;
        const COLORREF color = RGB(p[2], p[1], p[0]);
        if (color != background) ink.push_back(color);
      }
    }
    return ink;
  }
  // The bounding box of pixels in `area` other than `background`; empty
  // when there are none.
  RECT InkBounds(const RECT& area, COLORREF background) {
    Pixels();
    RECT bounds{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        const BYTE* p = Pixels(false) + (static_cast<size_t>(y) * Canvas()->GetWidth() + x) * 4;
        if (RGB(p[2], p[1], p[0]) == background) continue;
        bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
      }
    }
    if (bounds.left >= bounds.right) return RECT{0, 0, 0, 0};
    return bounds;
  }

  std::vector<Notice> notices;
  // Runs inside each WM_NOTIFY, while the sender waits.
  std::function<void(const KxMiniUINotification&)> onNotice;

 protected:
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_SYSCOMMAND) {
      result = 0;  // no system move loop while the tests hold the mouse
      return true;
    }
    if (message != WM_NOTIFY) return false;
    const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
    notices.push_back(Notice{record->header.code, wParam, record->header.idFrom, record->id,
                             record->className != nullptr ? record->className : ""});
    if (onNotice) onNotice(*record);
    result = 0;
    return true;
  }

 private:
  KxMiniUICanvasGdiplus* Canvas() {
    return dynamic_cast<KxMiniUICanvasGdiplus*>(GetRootHolder()->Canvas());
  }
  const BYTE* Pixels(bool repaint = true) {
    if (repaint) {
      GetRootView()->Invalidate();
      RenderNow();
      PumpMessages();
    }
    return Canvas()->GetPixels();
  }
};

}  // namespace zelk::test
