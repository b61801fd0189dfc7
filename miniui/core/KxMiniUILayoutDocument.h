// A window layout document: the root element "layer" (exactly) describes the
// window, and its "header", "body" and "footer" elements become plain
// container views stacked from the top, the middle and the bottom.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIView.h"
#include "miniui/core/KxMiniUIWindowDescription.h"

class KxMiniUIRootView;

class KxMiniUILayoutDocument {
 public:
  KxMiniUILayoutDocument();
  ~KxMiniUILayoutDocument();
  KxMiniUILayoutDocument(const KxMiniUILayoutDocument&) = delete;
  KxMiniUILayoutDocument& operator=(const KxMiniUILayoutDocument&) = delete;

  // False for a syntax error, a root other than "layer" or a part view that
  // fails to load; the document is then empty.
  bool Parse(const std::string& text);
  // Reads the "xml" resource `id` through the resource manager's loader.
  bool Load(UINT id);

  const KxMiniUIWindowDescription& Description() const { return description_; }
  size_t ViewCount() const { return views_.size(); }

  // Replaces the root's children with the layout's views (header, body,
  // footer, in that order) and hands it the window-wide settings. The
  // document keeps no views afterwards.
  void ApplyTo(KxMiniUIRootView& root);

 private:
  bool LoadParts(const KxMiniUIXmlNode* layer);

  KxMiniUIWindowDescription description_;
  std::vector<std::unique_ptr<KxMiniUIView>> views_;
};
