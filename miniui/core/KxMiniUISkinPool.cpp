#include "miniui/core/KxMiniUISkinPool.h"

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIResourceLoader.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

namespace {

std::shared_ptr<KxMiniUISkin> CreateSkin(const KxMiniUIXmlNode* element) {
  std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(element->name());
  auto* skin = dynamic_cast<KxMiniUISkin*>(object.get());
  if (skin == nullptr) return nullptr;
  object.release();
  std::shared_ptr<KxMiniUISkin> shared(skin);
  if (!shared->LoadFromXml(element)) return nullptr;
  return shared;
}

// The root element of skins document `id`, parsed into `document`, or none.
const KxMiniUIXmlNode* LoadSkinsRoot(KxMiniUIResourceLoader& loader, UINT id, KxMiniUIXmlDocument& document) {
  std::string text;
  if (!loader.LoadXmlText(id, text) || !document.Parse(text)) return nullptr;
  const KxMiniUIXmlNode* root = document.Root();
  return root != nullptr && KxMiniUIText::NamesEqual(root->name(), "skins") ? root : nullptr;
}

const char* NameOf(const KxMiniUIXmlNode* element) {
  if (element->type() != rapidxml::node_element) return nullptr;
  const char* name = KxMiniUIXml::Attribute(element, "name");
  return name != nullptr && *name != '\0' ? name : nullptr;
}

}  // namespace

KxMiniUISkinPool::KxMiniUISkinPool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUISkinPool::~KxMiniUISkinPool() = default;

bool KxMiniUISkinPool::Load(UINT id) {
  KxMiniUIAutoLock guard(lock_);
  KxMiniUIXmlDocument document;
  const KxMiniUIXmlNode* root = LoadSkinsRoot(loader_, id, document);
  if (root == nullptr) return false;
  skins_.clear();
  for (auto* element = root->first_node(); element != nullptr; element = element->next_sibling()) {
    const char* name = NameOf(element);
    if (name == nullptr) continue;
    if (std::shared_ptr<KxMiniUISkin> skin = CreateSkin(element)) skins_[name] = std::move(skin);
  }
  return true;
}

bool KxMiniUISkinPool::Refresh(UINT id) {
  KxMiniUIAutoLock guard(lock_);
  KxMiniUIXmlDocument document;
  const KxMiniUIXmlNode* root = LoadSkinsRoot(loader_, id, document);
  if (root == nullptr) return false;
  for (auto* element = root->first_node(); element != nullptr; element = element->next_sibling()) {
    const char* name = NameOf(element);
    auto existing = name ? skins_.find(name) : skins_.end();
    if (existing != skins_.end()) existing->second->RefreshFromXml(element);
  }
  return true;
}

std::shared_ptr<KxMiniUISkin> KxMiniUISkinPool::Get(const std::string& name) {
  KxMiniUIAutoLock guard(lock_);
  auto found = skins_.find(name);
  return found == skins_.end() ? nullptr : found->second;
}

size_t KxMiniUISkinPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return skins_.size();
}

void KxMiniUISkinPool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  skins_.clear();
}
