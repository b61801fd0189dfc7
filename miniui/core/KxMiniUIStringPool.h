// The strings document: numbered UTF-16 texts (format templates).
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "miniui/core/KxMiniUILock.h"

class KxMiniUIResourceLoader;

class KxMiniUIStringPool {
 public:
  explicit KxMiniUIStringPool(KxMiniUIResourceLoader& loader);
  KxMiniUIStringPool(const KxMiniUIStringPool&) = delete;
  KxMiniUIStringPool& operator=(const KxMiniUIStringPool&) = delete;

  // A copy of the string; "" for an unknown id.
  virtual std::wstring Get(int id);
  // Empties the pool, then reads "xml" resource `id`, whose root must be
  // exactly "string"; each child with a non-empty "id" maps that decimal id
  // to the child's text. A later child with the same id wins.
  virtual bool Load(UINT id);
  virtual size_t Count();
  virtual ~KxMiniUIStringPool();

  // Clears the pool (the resource manager's ClearCaches).
  void Clear();

 private:
  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  std::map<int, std::wstring> strings_;
};
