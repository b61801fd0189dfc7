#include "miniui/core/KxMiniUIObject.h"

KxMiniUIObject::~KxMiniUIObject() = default;

bool KxMiniUIObject::IsKindOf(const char*) const { return true; }

const char* KxMiniUIObject::GetClassName() const { return ""; }

bool KxMiniUIObject::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  for (auto* attribute = node->first_attribute(); attribute != nullptr;
       attribute = attribute->next_attribute()) {
    SetAttribute(attribute->name(), attribute->value(), true);
  }
  return true;
}

HRESULT KxMiniUIObject::SetAttribute(const char*, const char*, bool) { return kAttrRejected; }
