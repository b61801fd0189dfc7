// wininet.dll bound at run time. The program has no load-time dependency on
// it: each call looks its export up by name and runs it under a fault
// guard, so a missing library, a missing export or a fault inside WinINet
// all read as that call failing (FALSE or a null handle).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace Kx {

class WinInetLibrary {
 public:
  // The process-wide binding, loading the library on first use.
  static WinInetLibrary& Instance();

  WinInetLibrary(const WinInetLibrary&) = delete;
  WinInetLibrary& operator=(const WinInetLibrary&) = delete;

  // Tests only: binds every later call to the library `name` (from the
  // system folder; null restores wininet.dll). A name that does not exist
  // makes every call fail as on a system without WinINet.
  static void BindForTesting(const wchar_t* name);

  // Agent, proxy and bypass null, preconfigured access: no User-Agent is sent.
  HINTERNET InternetOpenW() const;
  HINTERNET InternetOpenUrlW(HINTERNET session, const wchar_t* url, const wchar_t* headers, DWORD headersLength,
                             DWORD flags) const;
  HINTERNET InternetConnectW(HINTERNET session, const wchar_t* host, INTERNET_PORT port, const wchar_t* user,
                             const wchar_t* password, DWORD flags) const;
  HINTERNET HttpOpenRequestW(HINTERNET connection, const wchar_t* verb, const wchar_t* object,
                             const wchar_t* referrer, const wchar_t** acceptTypes, DWORD flags) const;
  // Sends no headers and no body.
  BOOL HttpSendRequestW(HINTERNET request) const;
  BOOL HttpSendRequestExW(HINTERNET request, INTERNET_BUFFERSW* buffersIn) const;
  BOOL InternetWriteFile(HINTERNET request, const void* data, DWORD size, DWORD* written) const;
  BOOL HttpEndRequestW(HINTERNET request) const;
  BOOL HttpQueryInfoW(HINTERNET request, DWORD level, void* buffer, DWORD* length) const;
  BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD size, DWORD* read) const;
  // Always on the null (process-wide) handle.
  BOOL InternetQueryOptionW(DWORD option, void* buffer, DWORD* length) const;
  // Options of one 32-bit value.
  BOOL InternetSetOptionW(HINTERNET handle, DWORD option, DWORD value) const;
  // With ICU_ESCAPE: percent escapes in the parts are decoded.
  BOOL InternetCrackUrlW(const wchar_t* url, DWORD length, URL_COMPONENTSW* components) const;
  BOOL InternetCloseHandle(HINTERNET handle) const;

 private:
  WinInetLibrary();

  // Looks `name` up in the bound module and calls it with `args` under the
  // fault guard; `failure` when anything is missing or the call faulted,
  // which leaves ERROR_INTERNET_INTERNAL_ERROR.
  template <class Fn, class R, class... Args>
  R Call(const char* name, R failure, Args... args) const;

  std::atomic<HMODULE> module_{nullptr};
};

}  // namespace Kx
