// Owned, growable buffers of plain elements. `KxBuffer` holds the storage,
// its capacity and the count in use; `KxDynamicBuffer` grows it on demand,
// keeping what is in use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

namespace Kx {

template <class T>
class KxBuffer {
  static_assert(std::is_trivially_copyable_v<T>, "buffers hold plain bytes or characters");

 public:
  KxBuffer() = default;
  KxBuffer(const KxBuffer&) = delete;
  KxBuffer& operator=(const KxBuffer&) = delete;
  KxBuffer(KxBuffer&&) noexcept = default;
  KxBuffer& operator=(KxBuffer&&) noexcept = default;

  T* Data() noexcept { return data_.get(); }
  const T* Data() const noexcept { return data_.get(); }
  size_t Capacity() const noexcept { return capacity_; }
  size_t Size() const noexcept { return size_; }
  bool Empty() const noexcept { return size_ == 0; }

  // The count in use never passes the capacity.
  void SetSize(size_t size) noexcept { size_ = std::min(size, capacity_); }
  void Clear() noexcept { size_ = 0; }

 protected:
  // New zeroed storage of `capacity` elements, the first `keep` copied over.
  void Reallocate(size_t capacity, size_t keep) {
    auto data = std::make_unique<T[]>(capacity);
    keep = std::min({keep, capacity, capacity_});
    if (keep != 0) std::memcpy(data.get(), data_.get(), keep * sizeof(T));
    data_ = std::move(data);
    capacity_ = capacity;
    size_ = std::min(size_, capacity_);
  }

 private:
  std::unique_ptr<T[]> data_;
  size_t capacity_ = 0;
  size_t size_ = 0;
};

template <class T>
class KxDynamicBuffer : public KxBuffer<T> {
 public:
  // Room for at least `capacity` elements; the elements in use are kept.
  void Reserve(size_t capacity) {
    if (capacity > this->Capacity()) this->Reallocate(capacity, this->Size());
  }

  // Empties the buffer and makes room for `capacity` zeroed elements.
  void Reset(size_t capacity) {
    this->Clear();
    if (capacity > this->Capacity()) this->Reallocate(capacity, 0);
    if (this->Capacity() != 0) std::memset(this->Data(), 0, this->Capacity() * sizeof(T));
  }

  void Append(const T* items, size_t count) {
    if (items == nullptr || count == 0) return;
    const size_t size = this->Size();
    if (size + count > this->Capacity()) this->Reallocate(std::max(size + count, this->Capacity() * 2), size);
    std::memcpy(this->Data() + size, items, count * sizeof(T));
    this->SetSize(size + count);
  }
};

}  // namespace Kx
