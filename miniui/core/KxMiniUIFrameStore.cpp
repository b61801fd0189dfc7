#include "miniui/core/KxMiniUIFrameStore.h"

#include <cstdint>
#include <cstring>

namespace {

// Frames past this many bytes in all are refused rather than allocated.
constexpr uint64_t kMaxBytes = 512ull * 1024 * 1024;

}  // namespace

KxMiniUIFrameStore::KxMiniUIFrameStore() = default;

KxMiniUIFrameStore::~KxMiniUIFrameStore() { Release(); }

bool KxMiniUIFrameStore::Allocate(int width, int height, size_t count, bool onDisk) {
  Release();
  if (width < 1 || height < 1 || count == 0) return false;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u * count;
  if (bytes > kMaxBytes) return false;
  if (onDisk) {
    if (!MapTemporaryFile(static_cast<size_t>(bytes))) {
      Release();
      return false;
    }
  } else {
    memory_.assign(static_cast<size_t>(bytes), 0);
  }
  width_ = width;
  height_ = height;
  count_ = count;
  return true;
}

bool KxMiniUIFrameStore::MapTemporaryFile(size_t bytes) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH, folder);
  if (length == 0 || length > MAX_PATH || ::GetTempFileNameW(folder, L"TFR", 0, name) == 0) return false;
  path_ = name;
  // Deleted by the system too if the process ends without releasing it.
  file_ = Kx::ScopedHandle(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                         nullptr));
  if (!file_) return false;
  const uint64_t size = bytes;
  mapping_ = Kx::ScopedHandle(::CreateFileMappingW(file_.Get(), nullptr, PAGE_READWRITE,
                                                   static_cast<DWORD>(size >> 32),
                                                   static_cast<DWORD>(size & 0xFFFFFFFFu), nullptr));
  if (!mapping_) return false;
  view_.Reset(static_cast<BYTE*>(::MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, bytes)));
  return static_cast<bool>(view_);  // a new mapping of a new file reads as zeros
}

void KxMiniUIFrameStore::Release() {
  view_.Reset();
  mapping_.Reset();
  file_.Reset();
  if (!path_.empty()) ::DeleteFileW(path_.c_str());  // already gone unless the open failed
  path_.clear();
  memory_.clear();
  memory_.shrink_to_fit();
  width_ = height_ = 0;
  count_ = 0;
}

BYTE* KxMiniUIFrameStore::Frame(size_t index) {
  if (index >= count_) return nullptr;
  BYTE* base = view_ ? view_.Get() : memory_.data();
  return base + index * static_cast<size_t>(Stride()) * static_cast<size_t>(height_);
}
