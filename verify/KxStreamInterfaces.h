// Reference-counted input-stream interfaces, queried by small numeric
// interface ids. Results are HRESULT values: S_OK (0) on success, 1 when the
// underlying file call failed, E_INVALIDARG / E_NOINTERFACE for bad requests.
#pragma once

#include <windows.h>

#include <string>

namespace Kx {

class IKxUnknown {
 public:
  // Id 0 gives the object's main interface. A successful query adds a
  // reference; a failed one sets `*out` to null.
  virtual HRESULT QueryInterface(ULONG id, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IKxUnknown() = default;
};

class ISequentialInStream : public IKxUnknown {
 public:
  // Reads until `size` bytes arrived, a read failed or the end was reached;
  // `*processed` (may be null) gets the count read. 0, or 1 when the last
  // file read failed.
  virtual HRESULT Read(void* data, UINT32 size, UINT32* processed) = 0;

 protected:
  ~ISequentialInStream() = default;
};

class IInStream : public ISequentialInStream {
 public:
  static constexpr ULONG kInterfaceId = 1026;
  // `origin` is FILE_BEGIN, FILE_CURRENT or FILE_END (E_INVALIDARG beyond);
  // `*newPosition` (may be null) gets the position afterwards. 0, or 1 when
  // the move failed.
  virtual HRESULT Seek(INT64 offset, UINT32 origin, UINT64* newPosition) = 0;

 protected:
  ~IInStream() = default;
};

class IStreamGetSize : public IKxUnknown {
 public:
  static constexpr ULONG kInterfaceId = 1028;
  virtual HRESULT GetSize(UINT64* size) = 0;

 protected:
  ~IStreamGetSize() = default;
};

class ICloneStream : public IKxUnknown {
 public:
  static constexpr ULONG kInterfaceId = 1030;
  // A second, independent stream over the same data at the same position.
  virtual HRESULT Clone(IInStream** stream) = 0;

 protected:
  ~ICloneStream() = default;
};

class IStreamGetFileName : public IKxUnknown {
 public:
  static constexpr ULONG kInterfaceId = 1031;
  // 0 with the name, 1 when the stream has no name.
  virtual HRESULT GetFileName(std::wstring* name) = 0;

 protected:
  ~IStreamGetFileName() = default;
};

}  // namespace Kx
