// The optional libcurl DLL ("libcurl_x86.dll" beside the program), loaded at
// run time. Every call looks its export up by name and runs under a fault
// guard: a missing library, a missing export or a fault inside libcurl all
// read as that call failing.
#pragma once

// curl.h must come before windows.h (it pulls in winsock2.h).
#include <curl/curl.h>
#include <windows.h>

#include <string>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"

namespace Kx {

class CurlLibrary {
 public:
  static constexpr wchar_t kFileName[] = L"libcurl_x86.dll";

  // Decides whether the library file at `path` may be loaded. It is asked
  // while the file is held open without write or delete sharing, so the
  // file it checks is the file that gets loaded.
  using ModuleTrust = bool (*)(const std::wstring& path);

  // The process-wide binding. Loads the library (and runs curl_global_init)
  // when it is not loaded yet; a failed load is tried again at the next use.
  static CurlLibrary& Instance();

  // Every load from now on must pass `trust` (null: no check); a library
  // loaded before is released. Never loads anything itself, so the program
  // can set its rules before any library code runs.
  static void SetModuleTrust(ModuleTrust trust);

  CurlLibrary(const CurlLibrary&) = delete;
  CurlLibrary& operator=(const CurlLibrary&) = delete;

  bool IsLoaded() const;

  // Loads from `folder` from now on (empty: the program's own folder). A
  // library loaded from elsewhere is released, so this may only be called
  // while no download runs; tests use it to run without the DLL.
  void SetFolder(const std::wstring& folder);

  CURL* EasyInit() const;
  void EasyCleanup(CURL* handle) const;
  CURLcode SetLong(CURL* handle, CURLoption option, long value) const;
  CURLcode SetOffset(CURL* handle, CURLoption option, curl_off_t value) const;
  CURLcode SetPointer(CURL* handle, CURLoption option, const void* value) const;
  CURLcode SetString(CURL* handle, CURLoption option, const std::string& value) const;
  // Callbacks are cdecl like every libcurl entry point.
  CURLcode SetWriteFunction(CURL* handle, CURLoption option, size_t(__cdecl* callback)(char*, size_t, size_t, void*)) const;
  CURLcode SetProgressFunction(CURL* handle,
                               int(__cdecl* callback)(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t)) const;
  CURLcode Perform(CURL* handle) const;
  CURLcode GetLong(CURL* handle, CURLINFO info, long* value) const;
  CURLcode GetDouble(CURL* handle, CURLINFO info, double* value) const;
  CURLcode GetString(CURL* handle, CURLINFO info, const char** value) const;
  // Percent escapes of `text` decoded; false when libcurl could not.
  bool Unescape(CURL* handle, const std::string& text, std::string& decoded) const;

 private:
  CurlLibrary() = default;

  // The binding without loading anything.
  static CurlLibrary& Binding();

  // Under lock_: loads when needed; the module, or null.
  HMODULE Module();
  // Under lock_: frees the module so the next use loads it again.
  void Release();
  ScopedModule LoadFrom(const std::wstring& folder) const;
  std::wstring LibraryFolder() const;
  // The module as loaded now, without loading it.
  HMODULE LoadedModule() const;
  // Looks `name` up in the loaded module and calls it with `args` under the
  // fault guard; `failure` when anything is missing or the call faulted.
  template <class Fn, class R, class... Args>
  R Call(const char* name, R failure, Args... args) const;

  mutable CriticalSection lock_;
  ScopedModule module_;
  std::wstring folder_;
  ModuleTrust trust_ = nullptr;
};

// An easy handle, handed back with curl_easy_cleanup.
struct CurlEasyTraits : NullIsEmptyTraits<CURL*> {
  static void Close(Handle handle) noexcept { CurlLibrary::Instance().EasyCleanup(handle); }
};

// Owns a new easy handle (none when libcurl cannot be had).
class KxLibCurlAutoEasyHandle : public TScopedHandle<CurlEasyTraits> {
 public:
  KxLibCurlAutoEasyHandle() : TScopedHandle(CurlLibrary::Instance().EasyInit()) {}
};

}  // namespace Kx
