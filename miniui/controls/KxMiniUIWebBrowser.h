// "webbrowser": a view that hosts the system's web browser control in a
// real child window. The installer does not use it.
#pragma once

#include "miniui/controls/KxMiniUIRealWnd.h"

class KxMiniUIWebBrowser : public KxMiniUIRealWnd {
 public:
  KXMINIUI_DECLARE_TAG("webbrowser")
};
