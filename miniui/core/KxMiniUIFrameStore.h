// Decoded animation frames: same-sized 32-bit premultiplied pictures kept
// either in memory or in a temporary "TFR" file mapped into memory, which
// is deleted when the store is released.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"

class KxMiniUIFrameStore {
 public:
  KxMiniUIFrameStore();
  ~KxMiniUIFrameStore();
  KxMiniUIFrameStore(const KxMiniUIFrameStore&) = delete;
  KxMiniUIFrameStore& operator=(const KxMiniUIFrameStore&) = delete;

  // Room for `count` transparent frames of width × height pixels; false
  // (and empty) when it cannot be had.
  bool Allocate(int width, int height, size_t count, bool onDisk);
  void Release();

  // Frame `index` (rows of Stride() bytes, top row first), or null.
  BYTE* Frame(size_t index);
  size_t Count() const { return count_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return width_ * 4; }
  // The temporary file holding the frames, or "" when they are in memory.
  const std::wstring& FilePath() const { return path_; }

 private:
  bool MapTemporaryFile(size_t bytes);

  int width_ = 0;
  int height_ = 0;
  size_t count_ = 0;
  std::vector<BYTE> memory_;
  std::wstring path_;
  Kx::ScopedHandle file_;
  Kx::ScopedHandle mapping_;
  Kx::ScopedMappedView<BYTE*> view_;
};
