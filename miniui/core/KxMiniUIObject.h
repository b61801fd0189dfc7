// Base of every object the framework builds from an XML element: views,
// skins and style classes.
#pragma once

#include <windows.h>

#include <rapidxml/rapidxml.hpp>

#include "miniui/core/KxMiniUIText.h"

using KxMiniUIXmlNode = rapidxml::xml_node<char>;

// Results of SetAttribute: negative when the name or value is not taken.
constexpr HRESULT kAttrRejected = E_FAIL;
constexpr HRESULT kAttrTaken = 0;
constexpr HRESULT kAttrChanged = 1;  // taken, and size, text or state changed

class KxMiniUIObject {
 public:
  KxMiniUIObject() = default;
  KxMiniUIObject(const KxMiniUIObject&) = default;
  KxMiniUIObject& operator=(const KxMiniUIObject&) = default;
  virtual ~KxMiniUIObject();

  // True in the base; a registered class answers whether `name` is its tag.
  virtual bool IsKindOf(const char* name) const;
  // The tag the class is registered under ("" in the base).
  virtual const char* GetClassName() const;
  // Applies the element's attributes in document order; unknown ones are
  // skipped, so loading an element never fails here.
  virtual bool LoadFromXml(const KxMiniUIXmlNode* node);
  virtual HRESULT SetAttribute(const char* name, const char* value, bool notify);
};

// Declares the two identity operations of a class registered under `tag`.
#define KXMINIUI_DECLARE_TAG(tag)                                        \
  static constexpr const char* kTag = tag;                               \
  const char* GetClassName() const override { return kTag; }             \
  bool IsKindOf(const char* name) const override {                       \
    return KxMiniUIText::NamesEqual(name, kTag);                         \
  }
