// Test helper: sets one registry value through the raw Win32 calls and puts
// back what was there before when it goes out of scope: the old value, or
// no value, and no key that the helper had to create.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace zelk::test {

class ScopedRegistryValue {
 public:
  // `view` is 0 or KEY_WOW64_64KEY / KEY_WOW64_32KEY.
  ScopedRegistryValue(HKEY root, std::wstring key, std::wstring name, REGSAM view = 0)
      : root_(root), key_(std::move(key)), name_(std::move(name)), view_(view) {
    HKEY open = nullptr;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_READ | view_, &open) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExW(open, name_.c_str(), nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldData_.resize(size);
        hadValue_ = RegQueryValueExW(open, name_.c_str(), nullptr, &oldType_, oldData_.data(), &size) ==
                    ERROR_SUCCESS;
      }
      RegCloseKey(open);
    } else {
      createdKey_ = FirstMissingKey();
    }
  }

  ~ScopedRegistryValue() {
    if (!createdKey_.empty()) {
      DeleteCreatedKey();
      return;
    }
    HKEY open = nullptr;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_SET_VALUE | view_, &open) != ERROR_SUCCESS) return;
    if (hadValue_) {
      RegSetValueExW(open, name_.c_str(), 0, oldType_, oldData_.data(), static_cast<DWORD>(oldData_.size()));
    } else {
      RegDeleteValueW(open, name_.c_str());
    }
    RegCloseKey(open);
  }

  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

  bool SetBytes(DWORD type, const void* data, DWORD size) {
    HKEY open = nullptr;
    if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, &open, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    const LONG status = RegSetValueExW(open, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(open);
    return status == ERROR_SUCCESS;
  }

  bool SetText(const std::wstring& text, DWORD type = REG_SZ) {
    return SetBytes(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  bool SetDword(DWORD value) { return SetBytes(REG_DWORD, &value, sizeof(value)); }

  // Removes the value for the test's duration (it comes back afterwards).
  void Remove() {
    HKEY open = nullptr;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_SET_VALUE | view_, &open) != ERROR_SUCCESS) return;
    RegDeleteValueW(open, name_.c_str());
    RegCloseKey(open);
  }

 private:
  // RegDeleteTreeW has no view parameter: the parent is opened through the view.
  void DeleteCreatedKey() const {
    const size_t slash = createdKey_.rfind(L'\\');
    if (slash == std::wstring::npos) {
      RegDeleteTreeW(root_, createdKey_.c_str());
      return;
    }
    HKEY parent = nullptr;
    if (RegOpenKeyExW(root_, createdKey_.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view_, &parent) !=
        ERROR_SUCCESS) {
      return;
    }
    RegDeleteTreeW(parent, createdKey_.c_str() + slash + 1);
    RegCloseKey(parent);
  }

  // The shortest leading part of the key path that does not exist yet.
  std::wstring FirstMissingKey() const {
    size_t end = 0;
    for (;;) {
      end = key_.find(L'\\', end + 1);
      const std::wstring prefix = key_.substr(0, end);
      HKEY open = nullptr;
      if (RegOpenKeyExW(root_, prefix.c_str(), 0, KEY_READ | view_, &open) != ERROR_SUCCESS) return prefix;
      RegCloseKey(open);
      if (end == std::wstring::npos) return {};
    }
  }

  HKEY root_;
  std::wstring key_;
  std::wstring name_;
  REGSAM view_;
  bool hadValue_ = false;
  DWORD oldType_ = REG_NONE;
  std::vector<BYTE> oldData_;
  std::wstring createdKey_;
};

}  // namespace zelk::test
