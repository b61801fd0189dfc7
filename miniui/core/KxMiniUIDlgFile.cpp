#include "miniui/core/KxMiniUIDlgFile.h"

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIDlgFile);

HRESULT KxMiniUIDlgFile::SetAttribute(const char* name, const char* value, bool notify) {
  if (!KxMiniUIText::NamesEqual(name, "src")) return KxMiniUIPanel::SetAttribute(name, value, notify);
  source_ = static_cast<UINT>(KxMiniUIValue::Number(value));
  return kAttrTaken;
}

bool KxMiniUIDlgFile::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (!KxMiniUIPanel::LoadFromXml(node)) return false;
  const char* source = KxMiniUIXml::Attribute(node, "src");
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  if (source == nullptr || *source == '\0' || resources == nullptr) return false;
  source_ = static_cast<UINT>(KxMiniUIValue::Number(source));
  std::string text;
  KxMiniUIXmlDocument document;
  if (!resources->GetResourceLoader()->LoadXmlText(source_, text) || !document.Parse(text)) return false;
  const KxMiniUIXmlNode* root = document.Root();
  return root != nullptr && LoadChildrenFromXml(root);
}
