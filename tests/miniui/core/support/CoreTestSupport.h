// Shared set-up of the framework tests: GDI+ started once for the whole
// program, the process's resource manager and UI manner reading this test
// program's own resources, an off-screen canvas whose pixels can be read
// back, and a view host backed by a real window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "miniui/core/IMiniUIViewHost.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIXmlDocument.h"
#include "tests/support/MessagePump.h"

namespace zelk::test {

// Resource numbers of the test program (data/core_tests.rc).
constexpr UINT kSkinsXml = 100;
constexpr UINT kStyleXml = 101;
constexpr UINT kStringsXml = 102;
constexpr UINT kSkinsUpperRootXml = 110;
constexpr UINT kStyleUpperRootXml = 111;
constexpr UINT kStringsWrongRootXml = 112;
constexpr UINT kBrokenXml = 113;
constexpr UINT kSkinsRefreshXml = 114;
constexpr UINT kFragmentXml = 120;
constexpr UINT kBrokenFragmentXml = 121;
constexpr UINT kStripPng = 201;    // 128 x 8, four frames
constexpr UINT kSmallPng = 202;    // 20 x 10
constexpr UINT kNinePng = 203;     // 50 x 3
constexpr UINT kTilePng = 204;     // 50 x 3
constexpr UINT kAnimatedPng = 205; // 16 x 16, three frames
constexpr UINT kAnimatedGif = 206; // 16 x 16, three frames
constexpr UINT kBrokenPng = 207;

// The pixel values the picture generator (data/make_pictures.py) wrote.
struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba& other) const {
    return r == other.r && g == other.g && b == other.b && a == other.a;
  }
};
std::ostream& operator<<(std::ostream& out, const Rgba& pixel);

Rgba StripPixel(int x);          // strip4.png, any row
Rgba SmallPixel(int x, int y);   // small.png
Rgba NinePixel(int x, int y);    // nine.png
Rgba TilePixel(int x);           // tile.png, any row

// Base fixture: the process's pools hold this program's strings, style
// classes and skins, and the loader reads the program's own resources.
class CoreResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override;

  KxMiniUIResourceManager& Resources() { return *KxMiniUIResourceManager::Instance(); }
  KxMiniUIManner& Manner() { return *KxMiniUIManner::Instance(); }
};

// An off-screen canvas drawing over a known background; Pixel reads the DIB.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height, bool opaque, COLORREF background = RGB(255, 255, 255),
              BYTE backgroundAlpha = 255);
  ~PixelCanvas();

  KxMiniUICanvasGdiplus& Canvas() { return canvas_; }
  // The pixel as drawn (premultiplied values, as the DIB holds them).
  Rgba Pixel(int x, int y);
  // Every pixel of a row, for comparisons.
  std::vector<Rgba> Row(int y);
  // The bounding box of pixels that differ from `background`, or an empty rectangle.
  RECT InkBounds(Rgba background);

 private:
  KxMiniUICanvasGdiplus canvas_;
  bool ended_ = false;
};

// A real top-level window that records what a view tree asks of it.
class WindowHost : public IMiniUIViewHost {
 public:
  WindowHost();
  ~WindowHost();

  HWND GetHostWindow() override { return window_; }
  bool IsPaintAllowed() override { return paintAllowed_; }
  void InvalidateHostRect(const RECT& rect, bool immediate) override;
  bool SetHostTimer(UINT_PTR id, UINT interval) override;
  void KillHostTimer(UINT_PTR id) override;
  void UpdateTooltip(const std::wstring& text, int maxWidth) override;

  void SetPaintAllowed(bool allowed) { paintAllowed_ = allowed; }
  // Pumps messages until `done` answers true or `timeoutMs` passes.
  template <typename Fn>
  bool PumpUntil(Fn&& done, DWORD timeoutMs);

  struct Invalidation {
    RECT rect;
    bool immediate;
  };
  std::vector<Invalidation> invalidations;
  std::vector<UINT_PTR> liveTimers;
  // WM_NOTIFY records the window received: code, id from the header, view
  // id and class name.
  struct Notice {
    UINT code;
    UINT_PTR controlId;
    int viewId;
    std::string className;
  };
  std::vector<Notice> notices;
  // WM_TIMER ids as they arrive; `onTimer` sees each one first.
  std::vector<UINT_PTR> timerMessages;
  std::function<bool(UINT_PTR)> onTimer;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  bool paintAllowed_ = true;
};

template <typename Fn>
bool WindowHost::PumpUntil(Fn&& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

// Parses layout text; the document lives as long as the answer.
std::shared_ptr<KxMiniUIXmlDocument> ParseXml(const std::string& text);

}  // namespace zelk::test

#include "miniui/core/KxMiniUIRootView.h"

namespace zelk::test {

// "testbox": a plain view with a natural size ("natural" = "w,h") that
// counts its timer calls, so layouts can be checked against known sizes.
class TestBoxView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("testbox")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  SIZE GetContentSize() override { return natural_; }
  void OnTimer(int id) override { timerSlots.push_back(id); }

  std::vector<int> timerSlots;

 private:
  SIZE natural_{0, 0};
};

// A root view sized like a window, its children loaded from `bodyXml` (the
// children of its root element) and laid out.
std::unique_ptr<KxMiniUIRootView> LoadTree(const std::string& bodyXml, int width, int height,
                                           IMiniUIViewHost* host = nullptr);

}  // namespace zelk::test
