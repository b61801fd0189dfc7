// "dlgfile": a panel whose content is another layout document, the "xml"
// resource named by "src". The children of that document's root element
// are appended; the root element's own name and attributes are ignored.
#pragma once

#include "miniui/core/KxMiniUIPanel.h"

class KxMiniUIDlgFile : public KxMiniUIPanel {
 public:
  KXMINIUI_DECLARE_TAG("dlgfile")

  // Documents included inside included documents, at most.
  static constexpr int kMaxIncludeDepth = 8;

  // Fails (and the parent drops the view) when "src" is missing or empty,
  // names no resource, the document does not parse, or it is one of the
  // documents being included around it (a cycle) or lies deeper than
  // kMaxIncludeDepth.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  UINT GetSource() const { return source_; }

 private:
  UINT source_ = 0;
};
