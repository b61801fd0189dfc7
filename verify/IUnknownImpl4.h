// Joins four IKxUnknown-based interfaces in one object with an interlocked
// reference count: the object deletes itself when the last reference goes.
// Each interface names its id in `kInterfaceId`; id 0 gives the first one.
#pragma once

#include <windows.h>

namespace Kx {

template <class I1, class I2, class I3, class I4>
class IUnknownImpl4 : public I1, public I2, public I3, public I4 {
 public:
  IUnknownImpl4(const IUnknownImpl4&) = delete;
  IUnknownImpl4& operator=(const IUnknownImpl4&) = delete;

  HRESULT QueryInterface(ULONG id, void** out) override {
    if (out == nullptr) return E_INVALIDARG;
    *out = InterfaceFor(id);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

  ULONG Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  IUnknownImpl4() = default;
  virtual ~IUnknownImpl4() = default;

 private:
  void* InterfaceFor(ULONG id) {
    if (id == 0 || id == I1::kInterfaceId) return static_cast<I1*>(this);
    if (id == I2::kInterfaceId) return static_cast<I2*>(this);
    if (id == I3::kInterfaceId) return static_cast<I3*>(this);
    if (id == I4::kInterfaceId) return static_cast<I4*>(this);
    return nullptr;
  }

  LONG references_ = 0;
};

}  // namespace Kx
