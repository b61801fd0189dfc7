// Owner of one reference to an object with AddRef / Release.
#pragma once

#include <utility>

namespace Kx {

template <class T>
class KxComPtr {
 public:
  KxComPtr() noexcept = default;
  // Adds a reference of its own to `object`.
  explicit KxComPtr(T* object) noexcept : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  ~KxComPtr() { Reset(); }

  KxComPtr(const KxComPtr& other) noexcept : KxComPtr(other.object_) {}
  KxComPtr& operator=(const KxComPtr& other) noexcept {
    KxComPtr copy(other);
    Swap(copy);
    return *this;
  }
  KxComPtr(KxComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  KxComPtr& operator=(KxComPtr&& other) noexcept {
    KxComPtr moved(std::move(other));
    Swap(moved);
    return *this;
  }

  // Takes over a reference the caller already holds (an out parameter).
  static KxComPtr Adopt(T* object) noexcept {
    KxComPtr pointer;
    pointer.object_ = object;
    return pointer;
  }

  void Reset() noexcept {
    if (T* object = std::exchange(object_, nullptr)) object->Release();
  }

  // Releases the current object and gives the slot to an out parameter.
  T** Receive() noexcept {
    Reset();
    return &object_;
  }

  T* Get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  void Swap(KxComPtr& other) noexcept { std::swap(object_, other.object_); }

 private:
  T* object_ = nullptr;
};

}  // namespace Kx
