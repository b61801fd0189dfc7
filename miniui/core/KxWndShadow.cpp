#include "miniui/core/KxWndShadow.h"

#include <commctrl.h>

#include <algorithm>

#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUISizingBand.h"
#include "miniui/core/KxMiniUISizingFrame.h"

namespace {

const wchar_t kSizingBorderProperty[] = L"SizingBorder";
const wchar_t kShadowPointerProperty[] = L"ShadowPointer";
constexpr UINT_PTR kSubclassId = 0x4B785368;  // "KxSh"
constexpr UINT_PTR kRedrawTimer = 1;

// Without a sizing border the mouse goes through the shadow to what lies
// under it; with one the shadow takes the presses on the border.
constexpr DWORD kStyleSizing = WS_POPUP | WS_CLIPSIBLINGS;
constexpr DWORD kExStyleSizing = WS_EX_NOACTIVATE | WS_EX_LAYERED;
constexpr DWORD kStylePlain = kStyleSizing | WS_DISABLED;
constexpr DWORD kExStylePlain = kExStyleSizing | WS_EX_TRANSPARENT;
static_assert(kStylePlain == 0x8C000000 && kExStylePlain == 0x08080020, "plain shadow styles");
static_assert(kStyleSizing == 0x84000000 && kExStyleSizing == 0x08080000, "sizing shadow styles");
constexpr DWORD kCopiedOwnerExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

struct Piece {
  RECT dest;
  RECT source;
};

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool IsBeingShown(LPARAM windowPos) {
  const auto* position = reinterpret_cast<const WINDOWPOS*>(windowPos);
  return position != nullptr && (position->flags & SWP_SHOWWINDOW) != 0;
}

// Splits `extent` between a near and a far piece in the ratio of their
// margins, for a picture that has no middle between them.
void ShareExtent(int extent, int nearMargin, int farMargin, int& nearPart, int& farPart) {
  const int sum = nearMargin + farMargin;
  nearPart = sum > 0 ? ::MulDiv(extent, nearMargin, sum) : 0;
  farPart = extent - nearPart;
}

}  // namespace

KxWndShadow::KxWndShadow(const KxMiniUIShadowSettings& settings) : settings_(settings) {}

KxWndShadow::~KxWndShadow() {
  if (subclassed_ && ::IsWindow(owner_)) {
    ::RemoveWindowSubclass(owner_, &KxWndShadow::OwnerSubclassProc, kSubclassId);
  }
  if (window_ != nullptr && ::IsWindow(window_)) {
    ::RemovePropW(window_, kShadowPointerProperty);
    ::RemovePropW(window_, kSizingBorderProperty);
    ::DestroyWindow(window_);
  }
}

bool KxWndShadow::RegisterShadowClass() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, kClassName, &existing)) {
    if (existing.lpfnWndProc == &KxWndShadow::ShadowProc) return true;
    ::UnregisterClassW(kClassName, instance);  // someone else's class of that name
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = &KxWndShadow::ShadowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  return ::RegisterClassExW(&windowClass) != 0;
}

bool KxWndShadow::Create(HWND owner) {
  if (window_ != nullptr || owner == nullptr || !RegisterShadowClass()) return false;
  owner_ = owner;
  const bool sizing = settings_.sizingBorder > 0;
  const DWORD ownerExStyle = static_cast<DWORD>(::GetWindowLongPtrW(owner, GWL_EXSTYLE));
  // An owned window always stays above its owner, so the shadow is made
  // without one (the owner's own owner, if any, owns it) and kept behind the
  // owner by following the owner's z-order; as an unowned window it gets
  // the tool-window style so it shows no taskbar button.
  const DWORD exStyle = (sizing ? kExStyleSizing : kExStylePlain) | (ownerExStyle & kCopiedOwnerExStyle) |
                        WS_EX_TOOLWINDOW;
  window_ = ::CreateWindowExW(exStyle, kClassName, L"", sizing ? kStyleSizing : kStylePlain, kParkedPosition,
                              kParkedPosition, 100, 100, ::GetWindow(owner, GW_OWNER), nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return false;
  if (sizing) {
    ::SetPropW(window_, kSizingBorderProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(settings_.sizingBorder)));
  }
  ::SetPropW(window_, kShadowPointerProperty, this);
  subclassed_ = ::SetWindowSubclass(owner_, &KxWndShadow::OwnerSubclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  ::SetTimer(window_, kRedrawTimer, 10, nullptr);
  Follow();
  return true;
}

void KxWndShadow::Follow() {
  if (window_ == nullptr || !::IsWindow(owner_)) return;
  const bool shown = ::IsWindowVisible(owner_) && !::IsIconic(owner_) && !::IsZoomed(owner_);
  if (!shown) {
    ::SetWindowPos(window_, nullptr, kParkedPosition, kParkedPosition, 100, 100,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    return;
  }
  RECT frame{};
  ::GetWindowRect(owner_, &frame);
  const RECT grown{frame.left - settings_.left, frame.top - settings_.top, frame.right + settings_.right,
                   frame.bottom + settings_.bottom};
  const SIZE size{grown.right - grown.left, grown.bottom - grown.top};
  if (size.cx != builtSize_.cx || size.cy != builtSize_.cy || !picture_) Rebuild(size);
  POINT position{grown.left, grown.top};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(window_, nullptr, &position, &builtSize_, picture_->GetMemoryDC(), &source, 0, &blend,
                        ULW_ALPHA);
  ::SetWindowPos(window_, owner_, grown.left, grown.top, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSENDCHANGING);
}

void KxWndShadow::Rebuild(SIZE size) {
  picture_ = std::make_unique<KxMiniUICanvasGdiplus>(size.cx, size.cy, false);
  builtSize_ = SIZE{picture_->GetWidth(), picture_->GetHeight()};
  // Off-screen paint: the fresh buffer starts fully transparent.
  if (!picture_->BeginPaint(nullptr)) return;
  DrawPieces(*picture_, builtSize_);
  picture_->EndPaint();
}

void KxWndShadow::DrawPieces(KxMiniUICanvasGdiplus& canvas, SIZE size) {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  const std::shared_ptr<KxMiniUIBitmap> bitmap =
      resources != nullptr ? resources->GetPngPool()->Get(settings_.picture) : nullptr;
  if (!bitmap || bitmap->IsEmpty()) return;
  const int pw = bitmap->Width(), ph = bitmap->Height();
  const int W = size.cx, H = size.cy;
  const int l = settings_.left, t = settings_.top, r = settings_.right, b = settings_.bottom;
  const int rt = settings_.radiusTop, rb = settings_.radiusBottom;
  if (l < 0 || t < 0 || r < 0 || b < 0) return;

  // Corner sizes on the picture and on the shadow; a picture without a
  // middle row (or column) shares the shadow's height (or width) between
  // its two ends in the ratio of the margins.
  int topH = t + rt, bottomH = b + rb, leftW = l, rightW = r;
  int destTop = topH, destBottom = bottomH;
  const bool noMiddleRow = ph == t + b;
  const bool noMiddleColumn = pw == l + r;
  if (noMiddleRow) {
    ShareExtent(H, t, b, destTop, destBottom);
    topH = t;
    bottomH = b;
  }
  int destLeft = l, destRight = r;
  if (noMiddleColumn) ShareExtent(W, l, r, destLeft, destRight);

  const Piece pieces[] = {
      // Corners, enlarged by the radii (top pair by "radiustop", bottom pair by "radiusbottom").
      {{0, 0, destLeft + rt, destTop}, {0, 0, leftW + rt, topH}},
      {{W - destRight - rt, 0, W, destTop}, {pw - rightW - rt, 0, pw, topH}},
      {{0, H - destBottom, destLeft + rb, H}, {0, ph - bottomH, leftW + rb, ph}},
      {{W - destRight - rb, H - destBottom, W, H}, {pw - rightW - rb, ph - bottomH, pw, ph}},
      // Edges between the enlarged corners, stretched.
      {{destLeft + rt, 0, W - destRight - rt, t}, {l + rt, 0, pw - r - rt, t}},
      {{destLeft + rb, H - b, W - destRight - rb, H}, {l + rb, ph - b, pw - r - rb, ph}},
      {{0, destTop, l, H - destBottom}, {0, topH, l, ph - bottomH}},
      {{W - r, destTop, W, H - destBottom}, {pw - r, topH, pw, ph - bottomH}},
  };
  for (const Piece& piece : pieces) {
    if (IsEmpty(piece.dest) || IsEmpty(piece.source)) continue;
    canvas.DrawBitmap(piece.dest, bitmap.get(), piece.source, 255, KxMiniUIRendTarget::kQualityDefault);
  }
}

LRESULT KxWndShadow::SizingHitTest(POINT screen) const {
  const int band = settings_.sizingBorder;
  RECT frame{};
  if (band <= 0 || !::GetWindowRect(owner_, &frame)) return HTTRANSPARENT;
  const bool withinX = screen.x >= frame.left - band && screen.x < frame.right + band;
  const bool withinY = screen.y >= frame.top - band && screen.y < frame.bottom + band;
  if (!withinX || !withinY) return HTTRANSPARENT;
  KxMiniUISizingEdges edges;
  edges.left = screen.x < frame.left;
  edges.right = screen.x >= frame.right;
  edges.top = screen.y < frame.top;
  edges.bottom = screen.y >= frame.bottom;
  return SizingHitCode(edges, HTTRANSPARENT);
}

LRESULT CALLBACK KxWndShadow::ShadowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<KxWndShadow*>(::GetPropW(window, kShadowPointerProperty));
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      if (self != nullptr) {
        return self->SizingHitTest(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      }
      return HTTRANSPARENT;
    case WM_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, KxMiniUISizingFrame::CursorFor(LOWORD(lParam))));
      return TRUE;
    case WM_NCLBUTTONDOWN:
      // The shadow is the owner's resize frame: size the owner from that edge.
      if (self != nullptr && wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
        ::PostMessageW(self->owner_, WM_SYSCOMMAND, SC_SIZE | (wParam - HTLEFT + 1), lParam);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kRedrawTimer) {
        ::KillTimer(window, kRedrawTimer);
        if (self != nullptr) self->Follow();
        return 0;
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK KxWndShadow::OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<KxWndShadow*>(data);
  const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
  switch (message) {
    case WM_WINDOWPOSCHANGED:
      // Moves, sizes, showing, hiding, minimising and z-order all end here.
      if (IsBeingShown(lParam) && !::IsWindowVisible(self->window_)) {
        // The owner paints first: the timer's message comes only once the
        // owner's paint is done, and building and pushing the shadow takes
        // about as long as that paint.
        ::SetTimer(self->window_, kRedrawTimer, 0, nullptr);
      } else {
        self->Follow();
      }
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, &KxWndShadow::OwnerSubclassProc, kSubclassId);
      self->subclassed_ = false;
      break;
    default:
      break;
  }
  return result;
}
