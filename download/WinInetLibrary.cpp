#include "download/WinInetLibrary.h"

#include "base/SystemLibrary.h"

namespace Kx {
namespace {

// The SDK's declarations give every export its calling convention, so the
// i686 build cannot clean the stack twice.
using InternetOpenWFn = decltype(&::InternetOpenW);
using InternetOpenUrlWFn = decltype(&::InternetOpenUrlW);
using InternetConnectWFn = decltype(&::InternetConnectW);
using HttpOpenRequestWFn = decltype(&::HttpOpenRequestW);
using HttpSendRequestWFn = decltype(&::HttpSendRequestW);
using HttpSendRequestExWFn = decltype(&::HttpSendRequestExW);
using InternetWriteFileFn = decltype(&::InternetWriteFile);
using HttpEndRequestWFn = decltype(&::HttpEndRequestW);
using HttpQueryInfoWFn = decltype(&::HttpQueryInfoW);
using InternetReadFileFn = decltype(&::InternetReadFile);
using InternetQueryOptionWFn = decltype(&::InternetQueryOptionW);
using InternetSetOptionWFn = decltype(&::InternetSetOptionW);
using InternetCrackUrlWFn = decltype(&::InternetCrackUrlW);
using InternetCloseHandleFn = decltype(&::InternetCloseHandle);

constexpr wchar_t kLibraryName[] = L"wininet.dll";

}  // namespace

WinInetLibrary& WinInetLibrary::Instance() {
  // Made once, under the compiler's thread-safe guard for local statics.
  static WinInetLibrary library;
  return library;
}

// Never from the installer's own folder, where anyone may have left a
// "wininet.dll": the library table loads bare names from the system folder.
WinInetLibrary::WinInetLibrary() : module_(LoadSystemLibrary(kLibraryName)) {}

void WinInetLibrary::BindForTesting(const wchar_t* name) {
  // Modules are never freed, so a call running on another thread keeps a
  // valid module whichever binding it read.
  Instance().module_.store(LoadSystemLibrary(name != nullptr ? name : kLibraryName));
}

template <class Fn, class R, class... Args>
R WinInetLibrary::Call(const char* name, R failure, Args... args) const {
  return CallExport<Fn, ERROR_INTERNET_INTERNAL_ERROR>(module_.load(), name, failure, args...);
}

HINTERNET WinInetLibrary::InternetOpenW() const {
  return Call<InternetOpenWFn>("InternetOpenW", HINTERNET{}, static_cast<LPCWSTR>(nullptr),
                               static_cast<DWORD>(INTERNET_OPEN_TYPE_PRECONFIG), static_cast<LPCWSTR>(nullptr),
                               static_cast<LPCWSTR>(nullptr), static_cast<DWORD>(0));
}

HINTERNET WinInetLibrary::InternetOpenUrlW(HINTERNET session, const wchar_t* url, const wchar_t* headers,
                                           DWORD headersLength, DWORD flags) const {
  return Call<InternetOpenUrlWFn>("InternetOpenUrlW", HINTERNET{}, session, url, headers, headersLength, flags,
                                  static_cast<DWORD_PTR>(0));
}

HINTERNET WinInetLibrary::InternetConnectW(HINTERNET session, const wchar_t* host, INTERNET_PORT port,
                                           const wchar_t* user, const wchar_t* password, DWORD flags) const {
  return Call<InternetConnectWFn>("InternetConnectW", HINTERNET{}, session, host, port, user, password,
                                  static_cast<DWORD>(INTERNET_SERVICE_HTTP), flags, static_cast<DWORD_PTR>(0));
}

HINTERNET WinInetLibrary::HttpOpenRequestW(HINTERNET connection, const wchar_t* verb, const wchar_t* object,
                                           const wchar_t* referrer, const wchar_t** acceptTypes,
                                           DWORD flags) const {
  return Call<HttpOpenRequestWFn>("HttpOpenRequestW", HINTERNET{}, connection, verb, object,
                                  static_cast<LPCWSTR>(nullptr), referrer, acceptTypes, flags,
                                  static_cast<DWORD_PTR>(0));
}

BOOL WinInetLibrary::HttpSendRequestW(HINTERNET request) const {
  return Call<HttpSendRequestWFn>("HttpSendRequestW", FALSE, request, static_cast<LPCWSTR>(nullptr),
                                  static_cast<DWORD>(0), static_cast<LPVOID>(nullptr), static_cast<DWORD>(0));
}

BOOL WinInetLibrary::HttpSendRequestExW(HINTERNET request, INTERNET_BUFFERSW* buffersIn) const {
  return Call<HttpSendRequestExWFn>("HttpSendRequestExW", FALSE, request, buffersIn,
                                    static_cast<LPINTERNET_BUFFERSW>(nullptr), static_cast<DWORD>(0),
                                    static_cast<DWORD_PTR>(0));
}

BOOL WinInetLibrary::InternetWriteFile(HINTERNET request, const void* data, DWORD size, DWORD* written) const {
  return Call<InternetWriteFileFn>("InternetWriteFile", FALSE, request, data, size, written);
}

BOOL WinInetLibrary::HttpEndRequestW(HINTERNET request) const {
  return Call<HttpEndRequestWFn>("HttpEndRequestW", FALSE, request, static_cast<LPINTERNET_BUFFERSW>(nullptr),
                                 static_cast<DWORD>(0), static_cast<DWORD_PTR>(0));
}

BOOL WinInetLibrary::HttpQueryInfoW(HINTERNET request, DWORD level, void* buffer, DWORD* length) const {
  return Call<HttpQueryInfoWFn>("HttpQueryInfoW", FALSE, request, level, buffer, length,
                                static_cast<LPDWORD>(nullptr));
}

BOOL WinInetLibrary::InternetReadFile(HINTERNET request, void* buffer, DWORD size, DWORD* read) const {
  return Call<InternetReadFileFn>("InternetReadFile", FALSE, request, buffer, size, read);
}

BOOL WinInetLibrary::InternetQueryOptionW(DWORD option, void* buffer, DWORD* length) const {
  return Call<InternetQueryOptionWFn>("InternetQueryOptionW", FALSE, HINTERNET{}, option, buffer, length);
}

BOOL WinInetLibrary::InternetSetOptionW(HINTERNET handle, DWORD option, DWORD value) const {
  return Call<InternetSetOptionWFn>("InternetSetOptionW", FALSE, handle, option, static_cast<LPVOID>(&value),
                                    static_cast<DWORD>(sizeof(value)));
}

BOOL WinInetLibrary::InternetCrackUrlW(const wchar_t* url, DWORD length, URL_COMPONENTSW* components) const {
  // Windows decodes percent escapes for ICU_ESCAPE; Wine ignores that flag
  // and decodes only for ICU_DECODE, which Windows reads the same way.
  return Call<InternetCrackUrlWFn>("InternetCrackUrlW", FALSE, url, length,
                                   static_cast<DWORD>(ICU_ESCAPE | ICU_DECODE), components);
}

BOOL WinInetLibrary::InternetCloseHandle(HINTERNET handle) const {
  return Call<InternetCloseHandleFn>("InternetCloseHandle", FALSE, handle);
}

}  // namespace Kx
