// A parsed XML document together with the text it was parsed from (the
// parser keeps pointers into it). Parsing uses the parser's default options:
// entities are translated, and end tags are not checked against their start
// tags, so "<a><b>x</c></a>" loads like a correctly closed document.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <rapidxml/rapidxml.hpp>

#include "miniui/core/KxMiniUIObject.h"

class KxMiniUIXmlDocument {
 public:
  KxMiniUIXmlDocument();
  ~KxMiniUIXmlDocument();
  KxMiniUIXmlDocument(const KxMiniUIXmlDocument&) = delete;
  KxMiniUIXmlDocument& operator=(const KxMiniUIXmlDocument&) = delete;

  // Parses a copy of `text`; false on a syntax error (the document is then
  // empty). A UTF-8 byte order mark is skipped.
  bool Parse(const std::string& text);

  // The first element at the top level, or none.
  const KxMiniUIXmlNode* Root() const;

  // Parses `text` into a new shared document; none on a syntax error.
  static std::shared_ptr<KxMiniUIXmlDocument> FromText(const std::string& text);

 private:
  std::vector<char> text_;
  rapidxml::xml_document<char> document_;
};

// Attribute lookups on an element. Names compare ignoring ASCII case.
namespace KxMiniUIXml {

// The attribute's value, or null when the element does not have it.
const char* Attribute(const KxMiniUIXmlNode* node, const char* name);

// The first child element named `name` (ignoring case), or none.
const KxMiniUIXmlNode* Child(const KxMiniUIXmlNode* node, const char* name);

// The element's text: its first child node's value converted from UTF-8.
std::wstring Text(const KxMiniUIXmlNode* node);

}  // namespace KxMiniUIXml
