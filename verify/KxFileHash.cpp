#include "verify/KxFileHash.h"

#include <windows.h>

#include <memory>

#include "base/FileUtil.h"
#include "base/ScopedHandle.h"

namespace Kx {
namespace {

// The system's text for `error`, without the line break it ends with.
std::wstring SystemMessage(DWORD error) {
  ScopedLocalMemory<wchar_t*> text;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(text.Receive()), 0, nullptr);
  std::wstring message(text ? text.Get() : L"", text ? length : 0);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n')) message.pop_back();
  return message;
}

}  // namespace

bool KxFileHash::HashFile(const std::wstring& path) {
  Init();
  aborted_.store(false);

  const ScopedHandle file = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    const DWORD error = GetLastError();
    if (listener_ != nullptr) listener_->OnHashFailed(SystemMessage(error));
    return false;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0) {
    if (listener_ != nullptr) listener_->OnHashFailed(L"The file is empty.");
    return false;
  }
  return HashOpenFile(file.Get(), static_cast<unsigned long long>(size.QuadPart));
}

bool KxFileHash::HashOpenFile(void* file, unsigned long long size) {
  const auto buffer = std::make_unique<unsigned char[]>(kBlockSize);
  unsigned long long total = 0;
  bool aborted = false;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.get(), static_cast<DWORD>(kBlockSize), &read, nullptr) || read == 0) break;
    if (aborted_.load()) {
      aborted = true;
      break;
    }
    Update(buffer.get(), read);
    total += read;
    if (listener_ != nullptr) listener_->OnHashProgress(static_cast<double>(total) / static_cast<double>(size));
  }
  Final();
  if (listener_ != nullptr) listener_->OnHashCompleted(!aborted);
  return !aborted;
}

}  // namespace Kx
