// What a layout's "layer" element says about its window: styles, size,
// title, sizing limits, window-wide view settings and the drop shadow.
#pragma once

#include <windows.h>

#include <string>

struct KxMiniUIShadowSettings {
  bool present = false;
  UINT picture = 0;  // PNG id, cut as a nine-grid
  int left = 0;      // the shadow's thickness on each side
  int top = 0;
  int right = 0;
  int bottom = 0;
  int radiusTop = 0;
  int radiusBottom = 0;
  int sizingBorder = 0;
  bool prunedMessageFollow = false;
};

struct KxMiniUIWindowDescription {
  static constexpr DWORD kDefaultStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU;
  static_assert(kDefaultStyle == 0x82080000, "default window style");

  DWORD style = kDefaultStyle;
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::wstring title;
  bool resizable = false;
  int sizingBorder = 0;  // "resizeregion"
  int minWidth = 0;
  int minHeight = 0;
  bool redrawNonClient = false;
  bool layered = false;
  bool defaultDrag = false;
  bool defaultFocus = false;
  KxMiniUIShadowSettings shadow;
};
