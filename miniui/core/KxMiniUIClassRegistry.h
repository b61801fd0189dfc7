// The process-wide tag registry: every class that may stand in an XML
// document registers a factory under its tag while static objects are
// initialised, before the entry function runs. It is only read afterwards,
// so it takes no lock.
#pragma once

#include <memory>

#include "miniui/core/KxMiniUIObject.h"

using KxMiniUIFactory = std::unique_ptr<KxMiniUIObject> (*)();

// One record of the registry list; each new record goes to the head.
class KxMiniUIClassRegistration {
 public:
  KxMiniUIClassRegistration(const char* tag, KxMiniUIFactory factory) noexcept;
  KxMiniUIClassRegistration(const KxMiniUIClassRegistration&) = delete;
  KxMiniUIClassRegistration& operator=(const KxMiniUIClassRegistration&) = delete;

  const char* Tag() const noexcept { return tag_; }
  KxMiniUIFactory Factory() const noexcept { return factory_; }
  const KxMiniUIClassRegistration* Next() const noexcept { return next_; }

  static const KxMiniUIClassRegistration* Head() noexcept;

 private:
  const char* tag_;
  KxMiniUIFactory factory_;
  const KxMiniUIClassRegistration* next_;
};

// A new object of the class registered under `tag` (compared ignoring ASCII
// case); none for an unknown or empty tag.
std::unique_ptr<KxMiniUIObject> CreateObjectByTag(const char* tag);

// `Class` must be default-constructible and declare its tag with
// KXMINIUI_DECLARE_TAG. Place it in the class's source file.
#define KXMINIUI_REGISTER_CLASS(Class)                                          \
  static const KxMiniUIClassRegistration g_kxMiniUIRegistration##Class(         \
      Class::kTag, []() -> std::unique_ptr<KxMiniUIObject> { return std::make_unique<Class>(); })
