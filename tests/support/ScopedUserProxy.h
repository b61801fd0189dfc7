// The current user's proxy settings, set for a test's length where WinINet
// and WinHTTP read them, and put back afterwards. Wine's WinINet reads the
// values ProxyEnable, ProxyServer and ProxyOverride of "Internet Settings";
// its WinHttpGetIEProxyConfigForCurrentUser reads only the binary
// "DefaultConnectionSettings" of "Internet Settings\Connections". Windows
// keeps both, so both are written.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "tests/base/ScopedRegistryValue.h"

namespace zelk::test {

class ScopedUserProxy {
 public:
  ScopedUserProxy()
      : enable_(HKEY_CURRENT_USER, kSettingsKey, L"ProxyEnable"),
        server_(HKEY_CURRENT_USER, kSettingsKey, L"ProxyServer"),
        override_(HKEY_CURRENT_USER, kSettingsKey, L"ProxyOverride"),
        connection_(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\Connections", L"DefaultConnectionSettings") {}

  // An explicit proxy ("host:port" or "http=...;https=...") and its bypass list.
  bool SetExplicit(const std::wstring& proxy, const std::wstring& bypass) {
    return enable_.SetDword(1) && server_.SetText(proxy) && override_.SetText(bypass) &&
           SetConnection(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, proxy, bypass, L"");
  }

  // Automatic configuration only: detection and a proxy script address,
  // no explicit proxy.
  bool SetAutomaticOnly(const std::wstring& scriptUrl) {
    enable_.SetDword(0);
    server_.Remove();
    override_.Remove();
    return SetConnection(PROXY_TYPE_DIRECT | PROXY_TYPE_AUTO_DETECT | PROXY_TYPE_AUTO_PROXY_URL, L"", L"",
                         scriptUrl);
  }

 private:
  static constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  // The record's version mark; the change counter after it stays 0.
  static constexpr DWORD kConnectionSettingsVersion = 0x46;
  // Fields after the three texts that these tests leave at 0.
  static constexpr size_t kTrailingBytes = 32;

  // The record: version, change counter, PROXY_TYPE_* flags, then the
  // proxy, the bypass list and the script address, each an 8-bit text
  // after its length.
  bool SetConnection(DWORD flags, const std::wstring& proxy, const std::wstring& bypass,
                     const std::wstring& scriptUrl) {
    std::vector<BYTE> record;
    for (const DWORD value : {kConnectionSettingsVersion, DWORD{0}, flags}) Append(record, value);
    for (const std::wstring* text : {&proxy, &bypass, &scriptUrl}) {
      const std::string narrow(text->begin(), text->end());  // addresses are ASCII
      Append(record, static_cast<DWORD>(narrow.size()));
      record.insert(record.end(), narrow.begin(), narrow.end());
    }
    record.resize(record.size() + kTrailingBytes);
    return connection_.SetBytes(REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
  }

  static void Append(std::vector<BYTE>& record, DWORD value) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    record.insert(record.end(), bytes, bytes + sizeof(value));
  }

  ScopedRegistryValue enable_;
  ScopedRegistryValue server_;
  ScopedRegistryValue override_;
  ScopedRegistryValue connection_;
};

}  // namespace zelk::test
