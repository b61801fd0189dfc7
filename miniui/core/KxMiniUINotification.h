// The record a view sends its window with WM_NOTIFY: the standard header
// (source window, control id 1000, code), then the view's id, its class tag
// and the view itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

class KxMiniUIView;

// Control id every view notification carries in its header.
constexpr UINT_PTR kMiniUINotifyControlId = 1000;

// Codes the base view sends; controls add their own (1 is a click).
constexpr UINT kMiniUINotifyClick = 1;
constexpr UINT kMiniUINotifyMouseEnter = 3;
constexpr UINT kMiniUINotifyMouseLeave = 4;
constexpr UINT kMiniUINotifyRightClick = 9;

struct KxMiniUINotification {
  NMHDR header;
  int id;
  const char* className;
  KxMiniUIView* view;
};
