// Finds the framework's resources by number: in a folder described by its
// "resdef.xml", in a resource module loaded as data, and finally among the
// application module's own resources.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUILock.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

class KxMiniUIResourceLoader {
 public:
  static constexpr int kSourceNone = 0;
  static constexpr int kSourceDirectory = 1;
  static constexpr int kSourceModule = 2;

  KxMiniUIResourceLoader();
  KxMiniUIResourceLoader(const KxMiniUIResourceLoader&) = delete;
  KxMiniUIResourceLoader& operator=(const KxMiniUIResourceLoader&) = delete;

  // Back to no source: the module is freed, path and resdef.xml forgotten.
  virtual void Reset();
  // Kind 0 resets, 1 uses a folder, 2 a resource module; other kinds fail.
  virtual bool SelectSource(const std::wstring& path, int kind);
  // The folder or module path when one is selected; answers the source kind.
  virtual int GetSourcePath(std::wstring& path);
  virtual void ResetForward();
  // Selects a folder whose "resdef.xml" can be read whole and parsed.
  virtual bool UseDirectory(const std::wstring& folder);
  // Selects a module loaded as a data file (none of its code runs).
  virtual bool UseModule(const std::wstring& path);
  // The bytes of resource `id` of type `type` ("png", "xml", ...). Id 0 and
  // missing or empty resources answer false.
  virtual bool LoadResource(UINT id, std::string& buffer, const wchar_t* type);
  virtual bool LoadXmlText(UINT id, std::string& text);
  // A GDI bitmap resource (type "bmp" in resdef.xml); none when missing.
  virtual HBITMAP LoadBitmap(UINT id);
  virtual ~KxMiniUIResourceLoader();

  // The module whose own resources are the last place searched; the
  // executable's module unless the application sets another.
  void SetApplicationInstance(HMODULE module);
  HMODULE GetApplicationInstance();

 private:
  void ResetLocked();
  // The file that resdef.xml names for (`type`, `id`), or "".
  std::wstring DirectoryPathOf(UINT id, const wchar_t* type) const;

  KxMiniUICriticalSection lock_;
  int mode_ = kSourceNone;
  std::wstring path_;
  std::shared_ptr<KxMiniUIXmlDocument> resdef_;
  Kx::ScopedModule module_;
  HMODULE applicationInstance_;
};
