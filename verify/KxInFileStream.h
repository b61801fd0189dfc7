// A reference-counted read-only stream over one file, with size, clone and
// file-name queries. Created through Open; the last Release deletes it.
#pragma once

#include <string>

#include "base/ScopedHandle.h"
#include "verify/IUnknownImpl4.h"
#include "verify/KxComPtr.h"
#include "verify/KxStreamInterfaces.h"

namespace Kx {

class KxInFileStream final
    : public IUnknownImpl4<IInStream, IStreamGetSize, ICloneStream, IStreamGetFileName> {
 public:
  // A stream positioned at the start of the file, or null when the file
  // cannot be opened for reading (GetLastError tells why).
  static KxComPtr<KxInFileStream> Open(const std::wstring& path);

  HRESULT Read(void* data, UINT32 size, UINT32* processed) override;
  HRESULT Seek(INT64 offset, UINT32 origin, UINT64* newPosition) override;
  HRESULT GetSize(UINT64* size) override;
  HRESULT Clone(IInStream** stream) override;
  HRESULT GetFileName(std::wstring* name) override;

 private:
  // ReadFile never gets more than this in one call.
  static constexpr UINT32 kMaxPiece = 1048576;

  KxInFileStream() = default;
  ~KxInFileStream() override = default;

  bool OpenFile(const std::wstring& path);

  ScopedHandle file_;
  std::wstring name_;
};

}  // namespace Kx
