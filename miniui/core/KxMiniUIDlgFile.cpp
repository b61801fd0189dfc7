#include "miniui/core/KxMiniUIDlgFile.h"

#include <algorithm>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIDlgFile);

namespace {

// The documents being included on this thread, outermost first: a document
// that includes itself, directly or through others, would recurse until
// the stack runs out.
thread_local UINT g_including[KxMiniUIDlgFile::kMaxIncludeDepth];
thread_local int g_includeDepth = 0;

class IncludeScope {
 public:
  explicit IncludeScope(UINT id) { g_including[g_includeDepth++] = id; }
  ~IncludeScope() { --g_includeDepth; }
  IncludeScope(const IncludeScope&) = delete;
  IncludeScope& operator=(const IncludeScope&) = delete;
};

bool MayInclude(UINT id) {
  const UINT* begin = g_including;
  const UINT* end = begin + g_includeDepth;
  return g_includeDepth < KxMiniUIDlgFile::kMaxIncludeDepth && std::find(begin, end, id) == end;
}

}  // namespace

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
  if (!MayInclude(source_)) return false;
  const IncludeScope including(source_);
  std::string text;
  KxMiniUIXmlDocument document;
  if (!resources->GetResourceLoader()->LoadXmlText(source_, text) || !document.Parse(text)) return false;
  const KxMiniUIXmlNode* root = document.Root();
  return root != nullptr && LoadChildrenFromXml(root);
}
