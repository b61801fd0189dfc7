// An environment variable set for the length of a test (and for the
// programs it starts), with its old value, or its absence, put back.
#pragma once

#include <windows.h>

#include <string>

namespace zelk::test {

class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    hadValue_ = Read(name, old_);
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, hadValue_ ? old_.c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // The variable's value; false when it is not set.
  static bool Read(const wchar_t* name, std::wstring& value) {
    constexpr DWORD kMaxCharacters = 32768;
    std::wstring buffer(kMaxCharacters, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, &buffer[0], kMaxCharacters);
    if (length == 0 || length >= kMaxCharacters) return false;
    value.assign(buffer, 0, length);
    return true;
  }

 private:
  const wchar_t* name_;
  bool hadValue_ = false;
  std::wstring old_;
};

}  // namespace zelk::test
