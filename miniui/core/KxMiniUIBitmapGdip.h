// KxMiniUIBitmap on a GDI+ bitmap.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include <memory>

#include "miniui/core/KxMiniUIBitmap.h"

class KxMiniUIBitmapGdip : public KxMiniUIBitmap {
 public:
  KxMiniUIBitmapGdip();
  ~KxMiniUIBitmapGdip() override;
  KxMiniUIBitmapGdip(const KxMiniUIBitmapGdip&) = delete;
  KxMiniUIBitmapGdip& operator=(const KxMiniUIBitmapGdip&) = delete;

  void Release() override;
  bool IsEmpty() const override;
  bool LoadFromMemory(const void* bytes, size_t size) override;
  bool FromGdiBitmap(HBITMAP bitmap) override;
  bool Create(int width, int height) override;
  std::shared_ptr<KxMiniUIBitmap> CloneArea(const RECT& area) const override;
  Gdiplus::Bitmap* GetNative() const override;
  int Width() const override;
  int Height() const override;
  SIZE Size() const override;
  bool LockBits(const RECT* area, bool write, KxMiniUIBitmapBits& bits) override;
  void UnlockBits(KxMiniUIBitmapBits& bits) override;

  // Takes over a GDI+ bitmap (none or a failed one leaves this empty).
  bool Adopt(std::unique_ptr<Gdiplus::Bitmap> bitmap);
  // Draws straight from pixels the caller keeps alive and unchanged for as
  // long as this bitmap exists (32-bit premultiplied, `stride` bytes a row).
  bool WrapPixels(int width, int height, int stride, BYTE* pixels);

 private:
  struct StreamRelease {
    void operator()(IStream* stream) const noexcept { stream->Release(); }
  };

  // GDI+ reads a decoded picture's pixels from its stream lazily, so the
  // stream lives as long as the picture.
  std::unique_ptr<IStream, StreamRelease> stream_;
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};
