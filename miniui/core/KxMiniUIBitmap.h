// A picture the canvas can draw: decoded from PNG bytes, taken from a GDI
// bitmap, or made empty to draw into. Shared: the PNG pool, skins and frame
// caches each hold a reference.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

namespace Gdiplus {
class Bitmap;
}

// Locked pixels: 32-bit premultiplied BGRA rows, top row first.
struct KxMiniUIBitmapBits {
  int width = 0;
  int height = 0;
  int stride = 0;
  BYTE* pixels = nullptr;
  void* lock = nullptr;  // owned by the bitmap between LockBits and UnlockBits
};

class KxMiniUIBitmap {
 public:
  virtual ~KxMiniUIBitmap();
  // Drops the picture; the bitmap is empty afterwards.
  virtual void Release() = 0;
  virtual bool IsEmpty() const = 0;
  // Decodes PNG, GIF, BMP or JPEG bytes; false (and empty) when they do not decode.
  virtual bool LoadFromMemory(const void* bytes, size_t size) = 0;
  virtual bool FromGdiBitmap(HBITMAP bitmap) = 0;
  // A transparent 32-bit premultiplied picture of this size.
  virtual bool Create(int width, int height) = 0;
  // A new bitmap holding `area` as 32-bit premultiplied ARGB; none when the
  // area is empty or outside the picture.
  virtual std::shared_ptr<KxMiniUIBitmap> CloneArea(const RECT& area) const = 0;
  virtual Gdiplus::Bitmap* GetNative() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual SIZE Size() const = 0;
  // `area` null locks the whole picture.
  virtual bool LockBits(const RECT* area, bool write, KxMiniUIBitmapBits& bits) = 0;
  virtual void UnlockBits(KxMiniUIBitmapBits& bits) = 0;
};
