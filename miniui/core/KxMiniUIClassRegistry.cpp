#include "miniui/core/KxMiniUIClassRegistry.h"

namespace {

// A function-local static would be constructed on first use too, but a plain
// pointer is constant-initialised and so valid for every registration,
// whatever order the static initialisers of the translation units run in.
const KxMiniUIClassRegistration* g_head = nullptr;

}  // namespace

KxMiniUIClassRegistration::KxMiniUIClassRegistration(const char* tag,
                                                     KxMiniUIFactory factory) noexcept
    : tag_(tag), factory_(factory), next_(g_head) {
  g_head = this;
}

const KxMiniUIClassRegistration* KxMiniUIClassRegistration::Head() noexcept { return g_head; }

std::unique_ptr<KxMiniUIObject> CreateObjectByTag(const char* tag) {
  if (tag == nullptr || *tag == '\0') return nullptr;
  for (auto* record = KxMiniUIClassRegistration::Head(); record != nullptr; record = record->Next()) {
    if (KxMiniUIText::NamesEqual(record->Tag(), tag)) return record->Factory()();
  }
  return nullptr;
}
