// "richtext": a line of styled runs. Each child element is one run: its
// text, and its own vertical offset, width limit, colour, face and size.
#pragma once

#include <string>
#include <vector>

#include "miniui/core/KxMiniUIStyle.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIRichText : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("richtext")

  struct Run {
    std::wstring text;
    int verticalOffset = 0;
    int limitWidth = 0;  // 0: as wide as the text
    COLORREF color = KxMiniUIStyle::kColorNone;  // unset: the view's text colour
    std::wstring face;
    int fontSize = 0;
  };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Child elements are runs, not views.
  bool LoadChildrenFromXml(const KxMiniUIXmlNode* node) override;
  // The style's background, then the runs left to right, "spacing" apart.
  void Paint(KxMiniUIRendTarget& canvas) override;

  int GetSpacing() const { return spacing_; }
  const std::vector<Run>& Runs() const { return runs_; }

 private:
  int spacing_ = 0;
  std::vector<Run> runs_;
};
