#include "miniui/core/KxMiniUIStringPool.h"

#include <cstdlib>
#include <cstring>

#include "miniui/core/KxMiniUIResourceLoader.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KxMiniUIStringPool::KxMiniUIStringPool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUIStringPool::~KxMiniUIStringPool() = default;

std::wstring KxMiniUIStringPool::Get(int id) {
  KxMiniUIAutoLock guard(lock_);
  auto found = strings_.find(id);
  return found == strings_.end() ? std::wstring() : found->second;
}

bool KxMiniUIStringPool::Load(UINT id) {
  KxMiniUIAutoLock guard(lock_);
  strings_.clear();
  std::string text;
  if (!loader_.LoadXmlText(id, text)) return false;
  KxMiniUIXmlDocument document;
  if (!document.Parse(text)) return false;
  const KxMiniUIXmlNode* root = document.Root();
  if (root == nullptr || std::strcmp(root->name(), "string") != 0) return false;
  for (auto* item = root->first_node(); item != nullptr; item = item->next_sibling()) {
    if (item->type() != rapidxml::node_element) continue;
    const char* itemId = KxMiniUIXml::Attribute(item, "id");
    if (itemId == nullptr || *itemId == '\0') continue;
    strings_[static_cast<int>(std::strtol(itemId, nullptr, 10))] = KxMiniUIXml::Text(item);
  }
  return true;
}

size_t KxMiniUIStringPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return strings_.size();
}

void KxMiniUIStringPool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  strings_.clear();
}
