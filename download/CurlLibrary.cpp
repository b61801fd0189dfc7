#include "download/CurlLibrary.h"

#include "base/FaultGuard.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/ScopedHandle.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

// libcurl's own declarations: its exports are cdecl on every architecture.
using GlobalInitFn = decltype(&::curl_global_init);
using EasyInitFn = decltype(&::curl_easy_init);
using EasySetoptFn = decltype(&::curl_easy_setopt);
using EasyPerformFn = decltype(&::curl_easy_perform);
using EasyGetinfoFn = decltype(&::curl_easy_getinfo);
using EasyCleanupFn = decltype(&::curl_easy_cleanup);
using EasyUnescapeFn = decltype(&::curl_easy_unescape);
using FreeFn = decltype(&::curl_free);

constexpr DWORD kModulePathChars = 2048;

// The module's folder with its trailing separator; empty when unknown.
std::wstring FolderOfModule(HMODULE module) {
  std::wstring path(kModulePathChars, L'\0');
  const DWORD length = GetModuleFileNameW(module, &path[0], kModulePathChars);
  if (length == 0 || length >= kModulePathChars) return std::wstring();
  path.resize(length);
  return FolderWithSeparatorOf(path);
}

HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&FolderOfModule), &module);
  return module;
}

}  // namespace

CurlLibrary& CurlLibrary::Binding() {
  static CurlLibrary library;  // created once, under the compiler's own guard
  return library;
}

CurlLibrary& CurlLibrary::Instance() {
  CurlLibrary& library = Binding();
  library.Module();
  return library;
}

void CurlLibrary::SetModuleTrust(ModuleTrust trust) {
  CurlLibrary& library = Binding();
  CriticalSectionLock lock(library.lock_);
  library.trust_ = trust;
  library.Release();
}

bool CurlLibrary::IsLoaded() const {
  CriticalSectionLock lock(lock_);
  return static_cast<bool>(module_);
}

void CurlLibrary::SetFolder(const std::wstring& folder) {
  CriticalSectionLock lock(lock_);
  if (folder == folder_) return;
  folder_ = folder;
  Release();
}

void CurlLibrary::Release() { module_.Reset(); }

HMODULE CurlLibrary::Module() {
  CriticalSectionLock lock(lock_);
  if (!module_) module_ = LoadFrom(LibraryFolder());
  return module_.Get();
}

std::wstring CurlLibrary::LibraryFolder() const {
  if (!folder_.empty()) {
    const wchar_t last = folder_.back();
    return (last == L'\\' || last == L'/') ? folder_ : folder_ + L'\\';
  }
  const std::wstring own = FolderOfModule(OwnModule());
  if (!own.empty() && FileExists(own + kFileName)) return own;
  return FolderOfModule(nullptr);
}

ScopedModule CurlLibrary::LoadFrom(const std::wstring& folder) const {
  if (folder.empty()) return ScopedModule();
  const std::wstring path = folder + kFileName;
  // Held without write or delete sharing from before the check until the
  // library is mapped: nobody can replace or rename the file in between.
  const ScopedHandle held = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!held) return ScopedModule();
  if (trust_ != nullptr && !trust_(path)) return ScopedModule();
  // A full path: the program's search order never decides which file loads.
  ScopedModule module(LoadLibraryW(path.c_str()));
  if (!module) return module;
  const CURLcode code =
      CallExport<GlobalInitFn>(module.Get(), "curl_global_init", CURLE_FAILED_INIT, CURL_GLOBAL_ALL);
  if (code != CURLE_OK) module.Reset();
  return module;
}

HMODULE CurlLibrary::LoadedModule() const {
  CriticalSectionLock lock(lock_);
  return module_.Get();
}

template <class Fn, class R, class... Args>
R CurlLibrary::Call(const char* name, R failure, Args... args) const {
  return CallExport<Fn>(LoadedModule(), name, failure, args...);
}

CURL* CurlLibrary::EasyInit() const { return Call<EasyInitFn>("curl_easy_init", static_cast<CURL*>(nullptr)); }

void CurlLibrary::EasyCleanup(CURL* handle) const {
  if (handle != nullptr) RunExport<EasyCleanupFn>(LoadedModule(), "curl_easy_cleanup", handle);
}

CURLcode CurlLibrary::SetLong(CURL* handle, CURLoption option, long value) const {
  return Call<EasySetoptFn>("curl_easy_setopt", CURLE_FAILED_INIT, handle, option, value);
}

CURLcode CurlLibrary::SetOffset(CURL* handle, CURLoption option, curl_off_t value) const {
  return Call<EasySetoptFn>("curl_easy_setopt", CURLE_FAILED_INIT, handle, option, value);
}

CURLcode CurlLibrary::SetPointer(CURL* handle, CURLoption option, const void* value) const {
  return Call<EasySetoptFn>("curl_easy_setopt", CURLE_FAILED_INIT, handle, option, value);
}

CURLcode CurlLibrary::SetString(CURL* handle, CURLoption option, const std::string& value) const {
  // libcurl copies string options, so the text need not outlive the call.
  return SetPointer(handle, option, value.c_str());
}

CURLcode CurlLibrary::SetWriteFunction(CURL* handle, CURLoption option,
                                       size_t(__cdecl* callback)(char*, size_t, size_t, void*)) const {
  return Call<EasySetoptFn>("curl_easy_setopt", CURLE_FAILED_INIT, handle, option, callback);
}

CURLcode CurlLibrary::SetProgressFunction(CURL* handle,
                                          int(__cdecl* callback)(void*, curl_off_t, curl_off_t, curl_off_t,
                                                                 curl_off_t)) const {
  return Call<EasySetoptFn>("curl_easy_setopt", CURLE_FAILED_INIT, handle, CURLOPT_XFERINFOFUNCTION, callback);
}

CURLcode CurlLibrary::Perform(CURL* handle) const {
  return Call<EasyPerformFn>("curl_easy_perform", CURLE_FAILED_INIT, handle);
}

CURLcode CurlLibrary::GetLong(CURL* handle, CURLINFO info, long* value) const {
  return Call<EasyGetinfoFn>("curl_easy_getinfo", CURLE_FAILED_INIT, handle, info, value);
}

CURLcode CurlLibrary::GetDouble(CURL* handle, CURLINFO info, double* value) const {
  return Call<EasyGetinfoFn>("curl_easy_getinfo", CURLE_FAILED_INIT, handle, info, value);
}

CURLcode CurlLibrary::GetString(CURL* handle, CURLINFO info, const char** value) const {
  return Call<EasyGetinfoFn>("curl_easy_getinfo", CURLE_FAILED_INIT, handle, info, value);
}

bool CurlLibrary::Unescape(CURL* handle, const std::string& text, std::string& decoded) const {
  const HMODULE module = LoadedModule();
  const auto release = ExportOf<FreeFn>(module, "curl_free");
  if (release == nullptr) return false;
  int length = 0;
  char* const raw = CallExport<EasyUnescapeFn>(module, "curl_easy_unescape", static_cast<char*>(nullptr), handle,
                                               text.c_str(), static_cast<int>(text.size()), &length);
  if (raw == nullptr) return false;
  decoded.assign(raw, raw + (length > 0 ? length : 0));
  RunGuarded([&] { release(raw); });
  return true;
}

}  // namespace Kx
