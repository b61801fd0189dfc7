#include "miniui/core/KxMiniUIXmlDocument.h"

KxMiniUIXmlDocument::KxMiniUIXmlDocument() = default;
KxMiniUIXmlDocument::~KxMiniUIXmlDocument() = default;

bool KxMiniUIXmlDocument::Parse(const std::string& text) {
  document_.clear();
  text_.assign(text.begin(), text.end());
  text_.push_back('\0');
  try {
    document_.parse<0>(text_.data());
  } catch (const rapidxml::parse_error&) {
    document_.clear();
    return false;
  }
  return true;
}

const KxMiniUIXmlNode* KxMiniUIXmlDocument::Root() const {
  for (auto* node = document_.first_node(); node != nullptr; node = node->next_sibling()) {
    if (node->type() == rapidxml::node_element) return node;
  }
  return nullptr;
}

std::shared_ptr<KxMiniUIXmlDocument> KxMiniUIXmlDocument::FromText(const std::string& text) {
  auto document = std::make_shared<KxMiniUIXmlDocument>();
  if (!document->Parse(text)) return nullptr;
  return document;
}

namespace KxMiniUIXml {

const char* Attribute(const KxMiniUIXmlNode* node, const char* name) {
  if (node == nullptr) return nullptr;
  for (auto* attribute = node->first_attribute(); attribute != nullptr;
       attribute = attribute->next_attribute()) {
    if (KxMiniUIText::NamesEqual(attribute->name(), name)) return attribute->value();
  }
  return nullptr;
}

const KxMiniUIXmlNode* Child(const KxMiniUIXmlNode* node, const char* name) {
  if (node == nullptr) return nullptr;
  for (auto* child = node->first_node(); child != nullptr; child = child->next_sibling()) {
    if (child->type() == rapidxml::node_element && KxMiniUIText::NamesEqual(child->name(), name)) {
      return child;
    }
  }
  return nullptr;
}

std::wstring Text(const KxMiniUIXmlNode* node) {
  const KxMiniUIXmlNode* first = node == nullptr ? nullptr : node->first_node();
  if (first == nullptr) return std::wstring();
  return KxMiniUIText::FromUtf8(first->value(), first->value_size());
}

}  // namespace KxMiniUIXml
