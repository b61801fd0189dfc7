// The skins of the skins document, shared by name.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "miniui/core/KxMiniUILock.h"
#include "miniui/core/KxMiniUISkin.h"

class KxMiniUIResourceLoader;

class KxMiniUISkinPool {
 public:
  explicit KxMiniUISkinPool(KxMiniUIResourceLoader& loader);
  KxMiniUISkinPool(const KxMiniUISkinPool&) = delete;
  KxMiniUISkinPool& operator=(const KxMiniUISkinPool&) = delete;

  // Reads "xml" resource `id`, whose root is "skins" in any case. Each child
  // with a non-empty "name" becomes the skin its tag names; elements with an
  // unknown tag, a non-skin class or a failed load are skipped, and a later
  // skin replaces an earlier one of the same name. The pool is emptied only
  // once the document is accepted.
  virtual bool Load(UINT id);
  // Re-applies the document to the skins that already exist under the same
  // names; nothing is added or removed.
  virtual bool Refresh(UINT id);
  virtual std::shared_ptr<KxMiniUISkin> Get(const std::string& name);
  virtual size_t Count();
  virtual void Clear();
  virtual ~KxMiniUISkinPool();

 private:
  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  std::map<std::string, std::shared_ptr<KxMiniUISkin>> skins_;
};
