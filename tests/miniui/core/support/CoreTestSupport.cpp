#include "tests/miniui/core/support/CoreTestSupport.h"

#include <gdiplus.h>

#include <algorithm>
#include <ostream>

namespace zelk::test {

namespace {

const wchar_t kWindowClass[] = L"ZelkMiniUICoreTestHost";

}  // namespace

std::ostream& operator<<(std::ostream& out, const Rgba& pixel) {
  return out << "rgba(" << pixel.r << ", " << pixel.g << ", " << pixel.b << ", " << pixel.a << ")";
}

Rgba StripPixel(int x) { return Rgba{x * 2, (x / 32) * 60, 200, 255}; }

Rgba SmallPixel(int x, int y) { return Rgba{x * 10, y * 20, 128, 255}; }

Rgba NinePixel(int x, int y) {
  if (x < 20) return Rgba{50 + x * 10, y * 40, 0, 255};
  if (x < 30) return Rgba{0, 200, 40, 255};
  return Rgba{0, y * 40, 50 + (x - 30) * 10, 255};
}

Rgba TilePixel(int x) {
  if (x < 2) return Rgba{255 - x * 5, 0, 0, 255};
  if (x >= 48) return Rgba{0, 0, 255 - (x - 48) * 5, 255};
  return Rgba{0, 10 + (x - 2) * 5, 100, 255};
}

void CoreResourcesTest::SetUp() {
  KxMiniUIResourceManager& resources = Resources();
  resources.GetResourceLoader()->Reset();
  resources.ClearCaches();
  resources.GetFontPool()->SetDefaultFont(L"Tahoma", -12);
  ASSERT_TRUE(resources.GetStringPool()->Load(kStringsXml));
  ASSERT_TRUE(Manner().GetStylePool()->Load(kStyleXml));
  ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
}

PixelCanvas::PixelCanvas(int width, int height, bool opaque, COLORREF background, BYTE backgroundAlpha)
    : canvas_(width, height, opaque) {
  canvas_.BeginPaint(nullptr);
  if (Gdiplus::Graphics* graphics = canvas_.GetGraphics()) {
    graphics->Clear(Gdiplus::Color(backgroundAlpha, GetRValue(background) * backgroundAlpha / 255,
                                   GetGValue(background) * backgroundAlpha / 255,
                                   GetBValue(background) * backgroundAlpha / 255));
  }
}

PixelCanvas::~PixelCanvas() {
  if (!ended_) canvas_.EndPaint();
}

Rgba PixelCanvas::Pixel(int x, int y) {
  if (!ended_) {
    canvas_.EndPaint();
    ended_ = true;
  }
  const BYTE* pixels = canvas_.GetPixels();
  const BYTE* p = pixels + (static_cast<size_t>(y) * canvas_.GetWidth() + x) * 4;
  return Rgba{p[2], p[1], p[0], p[3]};
}

std::vector<Rgba> PixelCanvas::Row(int y) {
  std::vector<Rgba> row;
  for (int x = 0; x < canvas_.GetWidth(); ++x) row.push_back(Pixel(x, y));
  return row;
}

RECT PixelCanvas::InkBounds(Rgba background) {
  RECT bounds{canvas_.GetWidth(), canvas_.GetHeight(), 0, 0};
  for (int y = 0; y < canvas_.GetHeight(); ++y) {
    for (int x = 0; x < canvas_.GetWidth(); ++x) {
      if (Pixel(x, y) == background) continue;
      bounds.left = std::min<LONG>(bounds.left, x);
      bounds.top = std::min<LONG>(bounds.top, y);
      bounds.right = std::max<LONG>(bounds.right, x + 1);
      bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
    }
  }
  if (bounds.right <= bounds.left) return RECT{0, 0, 0, 0};
  return bounds;
}

WindowHost::WindowHost() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &WindowHost::WindowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  ::RegisterClassExW(&windowClass);  // fails harmlessly once registered
  window_ = ::CreateWindowExW(0, kWindowClass, L"miniui core test host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                              nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
}

WindowHost::~WindowHost() {
  for (UINT_PTR id : liveTimers) ::KillTimer(window_, id);
  if (window_ != nullptr) ::DestroyWindow(window_);
}

LRESULT CALLBACK WindowHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<WindowHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (host != nullptr && message == WM_NOTIFY) {
    const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
    host->notices.push_back(Notice{record->header.code, record->header.idFrom, record->id,
                                   record->className ? record->className : ""});
    return 77;  // a reply the sender can see
  }
  if (host != nullptr && message == WM_TIMER) {
    host->timerMessages.push_back(wParam);
    if (host->onTimer && !host->onTimer(wParam)) ::KillTimer(window, wParam);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void WindowHost::InvalidateHostRect(const RECT& rect, bool immediate) {
  invalidations.push_back(Invalidation{rect, immediate});
}

bool WindowHost::SetHostTimer(UINT_PTR id, UINT interval) {
  if (::SetTimer(window_, id, interval, nullptr) == 0) return false;
  liveTimers.push_back(id);
  return true;
}

void WindowHost::KillHostTimer(UINT_PTR id) {
  ::KillTimer(window_, id);
  liveTimers.erase(std::remove(liveTimers.begin(), liveTimers.end(), id), liveTimers.end());
}

void WindowHost::UpdateTooltip(const std::wstring&, int) {}

std::shared_ptr<KxMiniUIXmlDocument> ParseXml(const std::string& text) {
  return KxMiniUIXmlDocument::FromText(text);
}

}  // namespace zelk::test

#include <cstdio>

#include "miniui/core/KxMiniUIClassRegistry.h"

namespace zelk::test {

KXMINIUI_REGISTER_CLASS(TestBoxView);

HRESULT TestBoxView::SetAttribute(const char* name, const char* value, bool notify) {
  if (!KxMiniUIText::NamesEqual(name, "natural")) return KxMiniUIView::SetAttribute(name, value, notify);
  int width = 0, height = 0;
  if (value == nullptr || std::sscanf(value, "%d,%d", &width, &height) != 2) return kAttrRejected;
  natural_ = SIZE{width, height};
  return kAttrTaken;
}

std::unique_ptr<KxMiniUIRootView> LoadTree(const std::string& bodyXml, int width, int height,
                                           IMiniUIViewHost* host) {
  auto root = std::make_unique<KxMiniUIRootView>();
  root->SetHost(host);
  auto document = ParseXml(bodyXml);
  EXPECT_NE(document, nullptr) << bodyXml;
  if (document) root->LoadChildrenFromXml(document->Root());
  root->LayoutAt(width, height);
  return root;
}

}  // namespace zelk::test
