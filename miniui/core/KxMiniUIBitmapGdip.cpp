#include "miniui/core/KxMiniUIBitmapGdip.h"

#include <cstring>

#include "base/ScopedHandle.h"

KxMiniUIBitmapGdip::KxMiniUIBitmapGdip() = default;

KxMiniUIBitmapGdip::~KxMiniUIBitmapGdip() { Release(); }

void KxMiniUIBitmapGdip::Release() {
  bitmap_.reset();  // before the stream it may still read from
  stream_.reset();
}

bool KxMiniUIBitmapGdip::IsEmpty() const { return !bitmap_; }

bool KxMiniUIBitmapGdip::Adopt(std::unique_ptr<Gdiplus::Bitmap> bitmap) {
  Release();
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0 ||
      bitmap->GetHeight() == 0) {
    return false;
  }
  bitmap_ = std::move(bitmap);
  return true;
}

bool KxMiniUIBitmapGdip::LoadFromMemory(const void* bytes, size_t size) {
  Release();
  if (bytes == nullptr || size == 0) return false;
  Kx::ScopedGlobalMemory<HGLOBAL> block(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return false;
  void* target = ::GlobalLock(block.Get());
  if (target == nullptr) return false;
  std::memcpy(target, bytes, size);
  ::GlobalUnlock(block.Get());
  IStream* raw = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(block.Get(), TRUE, &raw))) return false;
  block.Release();  // the stream frees it when it is released
  std::unique_ptr<IStream, StreamRelease> stream(raw);
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.get()));
  if (!Adopt(std::move(bitmap))) return false;
  stream_ = std::move(stream);
  return true;
}

bool KxMiniUIBitmapGdip::FromGdiBitmap(HBITMAP handle) {
  Release();
  if (handle == nullptr) return false;
  return Adopt(std::unique_ptr<Gdiplus::Bitmap>(Gdiplus::Bitmap::FromHBITMAP(handle, nullptr)));
}

bool KxMiniUIBitmapGdip::Create(int width, int height) {
  Release();
  if (width < 1 || height < 1) return false;
  return Adopt(std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB));
}

bool KxMiniUIBitmapGdip::WrapPixels(int width, int height, int stride, BYTE* pixels) {
  Release();
  if (width < 1 || height < 1 || pixels == nullptr) return false;
  return Adopt(std::make_unique<Gdiplus::Bitmap>(width, height, stride, PixelFormat32bppPARGB, pixels));
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIBitmapGdip::CloneArea(const RECT& area) const {
  if (!bitmap_ || area.right <= area.left || area.bottom <= area.top) return nullptr;
  if (area.left < 0 || area.top < 0 || area.right > Width() || area.bottom > Height()) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> copy(bitmap_->Clone(
      Gdiplus::Rect(area.left, area.top, area.right - area.left, area.bottom - area.top),
      PixelFormat32bppPARGB));
  auto clone = std::make_shared<KxMiniUIBitmapGdip>();
  if (!clone->Adopt(std::move(copy))) return nullptr;
  return clone;
}

Gdiplus::Bitmap* KxMiniUIBitmapGdip::GetNative() const { return bitmap_.get(); }

int KxMiniUIBitmapGdip::Width() const { return bitmap_ ? static_cast<int>(bitmap_->GetWidth()) : 0; }

int KxMiniUIBitmapGdip::Height() const {
  return bitmap_ ? static_cast<int>(bitmap_->GetHeight()) : 0;
}

SIZE KxMiniUIBitmapGdip::Size() const { return SIZE{Width(), Height()}; }

bool KxMiniUIBitmapGdip::LockBits(const RECT* area, bool write, KxMiniUIBitmapBits& bits) {
  if (!bitmap_ || bits.lock != nullptr) return false;
  const Gdiplus::Rect rect = area == nullptr
                                 ? Gdiplus::Rect(0, 0, Width(), Height())
                                 : Gdiplus::Rect(area->left, area->top, area->right - area->left,
                                                 area->bottom - area->top);
  auto data = std::make_unique<Gdiplus::BitmapData>();
  const UINT mode = write ? (Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite)
                          : Gdiplus::ImageLockModeRead;
  if (bitmap_->LockBits(&rect, mode, PixelFormat32bppPARGB, data.get()) != Gdiplus::Ok) return false;
  bits.width = static_cast<int>(data->Width);
  bits.height = static_cast<int>(data->Height);
  bits.stride = data->Stride;
  bits.pixels = static_cast<BYTE*>(data->Scan0);
  bits.lock = data.release();
  return true;
}

void KxMiniUIBitmapGdip::UnlockBits(KxMiniUIBitmapBits& bits) {
  std::unique_ptr<Gdiplus::BitmapData> data(static_cast<Gdiplus::BitmapData*>(bits.lock));
  if (!data) return;
  if (bitmap_) bitmap_->UnlockBits(data.get());
  bits = KxMiniUIBitmapBits();
}
