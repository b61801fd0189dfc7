// The drop shadow of a framework window: a separate layered window of class
// "KxShadowWindow" that covers the owner's rectangle grown by the shadow's
// margins, sits directly behind the owner, and follows its moves, sizes,
// showing and hiding. Its picture is a nine-grid cut of a PNG without the
// centre piece (the owner covers it). With a sizing border the shadow also
// serves as the owner's resize frame.
#pragma once

#include <windows.h>

#include <memory>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIWindowDescription.h"

class KxWndShadow {
 public:
  static constexpr const wchar_t* kClassName = L"KxShadowWindow";
  // Where a hidden shadow waits.
  static constexpr int kParkedPosition = -30000;

  explicit KxWndShadow(const KxMiniUIShadowSettings& settings);
  // Destroys the shadow window and lets the owner go.
  ~KxWndShadow();
  KxWndShadow(const KxWndShadow&) = delete;
  KxWndShadow& operator=(const KxWndShadow&) = delete;

  bool Create(HWND owner);
  HWND GetHwnd() const { return window_; }
  HWND GetOwner() const { return owner_; }
  const KxMiniUIShadowSettings& Settings() const { return settings_; }
  // The picture last pushed to the screen (premultiplied BGRA), or none.
  KxMiniUICanvasGdiplus* Picture() const { return picture_.get(); }
  // Places the shadow for the owner's current state.
  void Follow();

 private:
  static LRESULT CALLBACK ShadowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR data);
  static bool RegisterShadowClass();

  void Rebuild(SIZE size);
  void DrawPieces(KxMiniUICanvasGdiplus& canvas, SIZE size);
  // The edge or corner code of a screen point in the sizing band, else
  // HTTRANSPARENT.
  LRESULT SizingHitTest(POINT screen) const;

  KxMiniUIShadowSettings settings_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  bool subclassed_ = false;
  SIZE builtSize_{0, 0};
  std::unique_ptr<KxMiniUICanvasGdiplus> picture_;
};
