// The style classes of the style document, by exact name.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "miniui/core/KxMiniUILock.h"
#include "miniui/core/KxMiniUIStyle.h"

class KxMiniUIResourceLoader;

class KxMiniUIStylePool {
 public:
  explicit KxMiniUIStylePool(KxMiniUIResourceLoader& loader);
  KxMiniUIStylePool(const KxMiniUIStylePool&) = delete;
  KxMiniUIStylePool& operator=(const KxMiniUIStylePool&) = delete;

  // Reads "xml" resource `id`, whose root must be exactly "style"; each
  // child with a "name" becomes a class (a later one with the same name
  // wins). The pool is emptied only once the document is accepted.
  virtual bool Load(UINT id);
  // A copy of the class, or a default style for an unknown name.
  virtual KxMiniUIStyle Get(const std::string& name);
  virtual bool Contains(const std::string& name);
  virtual size_t Count();
  virtual void Clear();
  virtual ~KxMiniUIStylePool();

 private:
  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  std::map<std::string, KxMiniUIStyle> styles_;
};
