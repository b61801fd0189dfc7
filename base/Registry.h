// Registry reads and the one key the program creates. Advapi32 is bound at
// run time like the other optional system functions.
#pragma once

#include <windows.h>

#include <string>

#include "base/ScopedHandle.h"

namespace Kx {

// The byte budget of browser lookups: a value needing more is refused, not cut.
constexpr DWORD kRegistryTextBytes = 519;

// Reads a value (an empty name reads the key's default value) of at most
// `maxBytes` bytes as text up to its first terminator; the value's type is
// not checked. False when the key or value is missing or longer.
bool ReadRegistryText(HKEY root, const std::wstring& key, const std::wstring& value, std::wstring& text,
                      DWORD maxBytes = kRegistryTextBytes);

// A value under HKEY_LOCAL_MACHINE as text up to its first terminator,
// whatever its type; `view` is 0 or KEY_WOW64_64KEY. "" on any failure,
// including a value of more than 2046 bytes.
std::wstring ReadMachineText(const std::wstring& key, const std::wstring& value, REGSAM view);

// An open registry key, closed through the run-time bound RegCloseKey.
struct RegKeyTraits : NullIsEmptyTraits<HKEY> {
  static void Close(Handle key) noexcept;
};
using ScopedRegKey = TScopedHandle<RegKeyTraits>;

// Registry access through one view: every key is opened with the view flag
// (0 for the process's own view, KEY_WOW64_64KEY for the 64-bit one).
class KxRegistry {
 public:
  explicit KxRegistry(REGSAM view = 0) noexcept : view_(view) {}

  // A string value (REG_SZ, REG_EXPAND_SZ or REG_NONE) under
  // HKEY_LOCAL_MACHINE of any length, up to its first terminator.
  bool OpenAndQuery(const std::wstring& key, const std::wstring& value, std::wstring& text) const;

  // Creates or opens a key under HKEY_CURRENT_USER for reading and writing; the
  // open key goes to `taken` when given, else it is closed.
  bool CreateUserKey(const std::wstring& key, ScopedRegKey* taken = nullptr) const;

 private:
  REGSAM view_;
};

}  // namespace Kx
