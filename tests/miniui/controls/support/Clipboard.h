// The real clipboard for the edit box tests: text put there as a user's
// program would, and read back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zelk::test {

inline void PutOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(owner));
  ::EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block != nullptr) {
    std::memcpy(::GlobalLock(block), text.c_str(), bytes);
    ::GlobalUnlock(block);
    if (::SetClipboardData(CF_UNICODETEXT, block) == nullptr) ::GlobalFree(block);
  }
  ::CloseClipboard();
}

inline std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return L"<clipboard closed>";
  if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = characters;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

}  // namespace zelk::test
