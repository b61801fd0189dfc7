// Intrusive reference counting for objects shared across threads (the
// download handler, which a cancelling thread reaches through a slot, and
// the worker thread object, which its own thread keeps alive while it runs).
#pragma once

// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

namespace Kx {

// The part through which a reference-counted object is destroyed.
class KxRefCounted {
 public:
  KxRefCounted() = default;
  KxRefCounted(const KxRefCounted&) = delete;
  KxRefCounted& operator=(const KxRefCounted&) = delete;
  virtual ~KxRefCounted() = default;
};

// The reference-count operations, for objects that have no other interface.
class IRefCount {
 public:
  // The count before this reference.
  virtual long AddRef() = 0;
  // The count after; the object is destroyed at 0.
  virtual long Release() = 0;
  virtual long GetRefCount() = 0;
  virtual ~IRefCount() = default;
};

// Implements AddRef / Release / GetRefCount of the interface `Interface`.
// The count starts at 0: the creator takes the first reference at once.
template <class Interface>
class KxRefCountImpl1 : public Interface, public KxRefCounted {
 public:
  // The count before this reference was added.
  long AddRef() override { return InterlockedIncrement(&count_) - 1; }

  // The count after this reference was dropped; 0 means the object is gone.
  long Release() override {
    const long remaining = InterlockedDecrement(&count_);
    if (remaining == 0) delete static_cast<KxRefCounted*>(this);
    return remaining;
  }

  long GetRefCount() override { return InterlockedCompareExchange(&count_, 0, 0); }

 private:
  volatile LONG count_ = 0;
};

// Holds one reference for the life of a scope.
template <class T>
class KxRefPtr {
 public:
  KxRefPtr() = default;
  explicit KxRefPtr(T* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  KxRefPtr(const KxRefPtr& other) : KxRefPtr(other.object_) {}
  KxRefPtr& operator=(const KxRefPtr& other) {
    KxRefPtr copy(other);
    Swap(copy);
    return *this;
  }
  ~KxRefPtr() {
    if (object_ != nullptr) object_->Release();
  }

  void Swap(KxRefPtr& other) {
    T* const mine = object_;
    object_ = other.object_;
    other.object_ = mine;
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace Kx
