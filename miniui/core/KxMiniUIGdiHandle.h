// Move-only owners of GDI handles: objects (fonts, bitmaps, regions) are
// deleted with DeleteObject, memory device contexts with DeleteDC.
#pragma once

#include <windows.h>

template <typename Handle, BOOL(WINAPI* Deleter)(Handle)>
class KxMiniUIGdiOwner {
 public:
  KxMiniUIGdiOwner() noexcept = default;
  explicit KxMiniUIGdiOwner(Handle handle) noexcept : handle_(handle) {}
  ~KxMiniUIGdiOwner() { Reset(); }
  KxMiniUIGdiOwner(const KxMiniUIGdiOwner&) = delete;
  KxMiniUIGdiOwner& operator=(const KxMiniUIGdiOwner&) = delete;
  KxMiniUIGdiOwner(KxMiniUIGdiOwner&& other) noexcept : handle_(other.Release()) {}
  KxMiniUIGdiOwner& operator=(KxMiniUIGdiOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

  Handle Release() noexcept {
    Handle handle = handle_;
    handle_ = nullptr;
    return handle;
  }

  void Reset(Handle handle = nullptr) noexcept {
    if (handle == handle_) return;
    if (handle_ != nullptr) Deleter(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using KxMiniUIGdiObject = KxMiniUIGdiOwner<HGDIOBJ, ::DeleteObject>;
using KxMiniUIMemoryDC = KxMiniUIGdiOwner<HDC, ::DeleteDC>;

// Typed views of an owned object for the calls that want a specific type.
template <typename T>
T GdiAs(const KxMiniUIGdiObject& object) noexcept {
  return static_cast<T>(object.Get());
}
