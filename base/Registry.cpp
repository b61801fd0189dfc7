#include "base/Registry.h"

#include <utility>
#include <vector>

#include "base/SystemLibrary.h"

namespace Kx {
namespace {

using RegOpenKeyExWFn = decltype(&::RegOpenKeyExW);
using RegQueryValueExWFn = decltype(&::RegQueryValueExW);
using RegCloseKeyFn = decltype(&::RegCloseKey);
using RegCreateKeyExWFn = decltype(&::RegCreateKeyExW);

constexpr wchar_t kAdvapi32[] = L"Advapi32.dll";
constexpr LONG kFaulted = ERROR_NOACCESS;

const wchar_t* ValueName(const std::wstring& value) { return value.empty() ? nullptr : value.c_str(); }

LONG OpenKey(HKEY root, const std::wstring& key, REGSAM access, ScopedRegKey& out) {
  return CallSystemExport<RegOpenKeyExWFn>(kAdvapi32, "RegOpenKeyExW", kFaulted, root, key.c_str(), DWORD{0}, access,
                                           out.Receive());
}

LONG QueryValue(HKEY key, const std::wstring& value, DWORD* type, BYTE* data, DWORD* size) {
  return CallSystemExport<RegQueryValueExWFn>(kAdvapi32, "RegQueryValueExW", kFaulted, key, ValueName(value),
                                              static_cast<DWORD*>(nullptr), type, data, size);
}

// Text of a buffer that holds at least one terminator past its data.
std::wstring TextUpToTerminator(const std::vector<wchar_t>& buffer) { return std::wstring(buffer.data()); }

}  // namespace

void RegKeyTraits::Close(Handle key) noexcept {
  RunSystemExport<RegCloseKeyFn>(kAdvapi32, "RegCloseKey", key);
}

bool ReadRegistryText(HKEY root, const std::wstring& key, const std::wstring& value, std::wstring& text,
                      DWORD maxBytes) {
  text.clear();
  ScopedRegKey opened;
  if (OpenKey(root, key, KEY_READ, opened) != ERROR_SUCCESS) return false;
  // One spare character beyond the byte budget keeps the text terminated
  // whatever the value holds.
  std::vector<wchar_t> buffer(maxBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = maxBytes;
  if (QueryValue(opened.Get(), value, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  text = TextUpToTerminator(buffer);
  return true;
}

std::wstring ReadMachineText(const std::wstring& key, const std::wstring& value, REGSAM view) {
  constexpr size_t kCharacters = 1024;
  constexpr DWORD kQueryBytes = 2046;  // the last character stays a terminator
  ScopedRegKey opened;
  if (OpenKey(HKEY_LOCAL_MACHINE, key, KEY_READ | view, opened) != ERROR_SUCCESS) return {};
  std::vector<wchar_t> buffer(kCharacters, L'\0');
  DWORD size = kQueryBytes;
  if (QueryValue(opened.Get(), value, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return {};
  }
  return TextUpToTerminator(buffer);
}

bool KxRegistry::OpenAndQuery(const std::wstring& key, const std::wstring& value, std::wstring& text) const {
  text.clear();
  ScopedRegKey opened;
  if (OpenKey(HKEY_LOCAL_MACHINE, key, KEY_READ | view_, opened) != ERROR_SUCCESS) return false;

  // Two spare characters keep even an odd-sized, unterminated value terminated.
  std::vector<wchar_t> buffer(512 / sizeof(wchar_t) + 2, L'\0');
  DWORD size = 512;
  DWORD type = REG_NONE;
  LONG status = QueryValue(opened.Get(), value, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status == ERROR_MORE_DATA && size >= 2) {
    const DWORD needed = size + 8;
    buffer.assign(needed / sizeof(wchar_t) + 2, L'\0');
    size = needed;
    status = QueryValue(opened.Get(), value, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
  }
  if (status != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_NONE) return false;
  text = TextUpToTerminator(buffer);
  return true;
}

bool KxRegistry::CreateUserKey(const std::wstring& key, ScopedRegKey* taken) const {
  ScopedRegKey created;
  const REGSAM access = KEY_READ | KEY_WRITE | view_;  // 0x2001F: read, write, create
  const LONG status = CallSystemExport<RegCreateKeyExWFn>(
      kAdvapi32, "RegCreateKeyExW", kFaulted, HKEY_CURRENT_USER, key.c_str(), DWORD{0}, static_cast<LPWSTR>(nullptr),
      DWORD{0}, access, static_cast<LPSECURITY_ATTRIBUTES>(nullptr), created.Receive(), static_cast<LPDWORD>(nullptr));
  if (status != ERROR_SUCCESS) return false;
  if (taken) *taken = std::move(created);
  return true;
}

}  // namespace Kx
