#include "miniui/core/KxMiniUIStylePool.h"

#include <cstring>

#include "miniui/core/KxMiniUIResourceLoader.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KxMiniUIStylePool::KxMiniUIStylePool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUIStylePool::~KxMiniUIStylePool() = default;

bool KxMiniUIStylePool::Load(UINT id) {
  KxMiniUIAutoLock guard(lock_);
  std::string text;
  if (!loader_.LoadXmlText(id, text)) return false;
  KxMiniUIXmlDocument document;
  if (!document.Parse(text)) return false;
  const KxMiniUIXmlNode* root = document.Root();
  if (root == nullptr || std::strcmp(root->name(), "style") != 0) return false;
  styles_.clear();
  for (auto* item = root->first_node(); item != nullptr; item = item->next_sibling()) {
    if (item->type() != rapidxml::node_element) continue;
    const char* name = KxMiniUIXml::Attribute(item, "name");
    if (name == nullptr) continue;
    KxMiniUIStyle style;
    style.LoadFromXml(item);
    styles_[name] = style;
  }
  return true;
}

KxMiniUIStyle KxMiniUIStylePool::Get(const std::string& name) {
  KxMiniUIAutoLock guard(lock_);
  auto found = styles_.find(name);
  return found == styles_.end() ? KxMiniUIStyle() : found->second;
}

bool KxMiniUIStylePool::Contains(const std::string& name) {
  KxMiniUIAutoLock guard(lock_);
  return styles_.count(name) != 0;
}

size_t KxMiniUIStylePool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return styles_.size();
}

void KxMiniUIStylePool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  styles_.clear();
}
