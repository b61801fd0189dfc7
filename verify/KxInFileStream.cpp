#include "verify/KxInFileStream.h"

#include <algorithm>

#include "base/FileUtil.h"

namespace Kx {

KxComPtr<KxInFileStream> KxInFileStream::Open(const std::wstring& path) {
  KxComPtr<KxInFileStream> stream(new KxInFileStream);
  if (!stream->OpenFile(path)) stream.Reset();
  return stream;
}

bool KxInFileStream::OpenFile(const std::wstring& path) {
  // Writers may keep the file open; a clone opens it a second time.
  file_ = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL);
  if (!file_) return false;
  name_ = path;
  return true;
}

HRESULT KxInFileStream::Read(void* data, UINT32 size, UINT32* processed) {
  if (processed != nullptr) *processed = 0;
  auto* const bytes = static_cast<unsigned char*>(data);
  UINT32 total = 0;
  BOOL lastOk = TRUE;
  while (total < size) {
    const DWORD piece = std::min(size - total, kMaxPiece);
    DWORD read = 0;
    lastOk = ReadFile(file_.Get(), bytes + total, piece, &read, nullptr);
    total += read;
    if (!lastOk || read == 0) break;
  }
  if (processed != nullptr) *processed = total;
  return lastOk ? S_OK : S_FALSE;
}

HRESULT KxInFileStream::Seek(INT64 offset, UINT32 origin, UINT64* newPosition) {
  if (origin > FILE_END) return E_INVALIDARG;
  LARGE_INTEGER distance = {};
  distance.QuadPart = offset;
  LARGE_INTEGER position = {};
  if (!SetFilePointerEx(file_.Get(), distance, &position, origin)) return S_FALSE;
  if (newPosition != nullptr) *newPosition = static_cast<UINT64>(position.QuadPart);
  return S_OK;
}

HRESULT KxInFileStream::GetSize(UINT64* size) {
  if (size == nullptr) return E_INVALIDARG;
  LARGE_INTEGER value = {};
  if (!GetFileSizeEx(file_.Get(), &value)) return S_FALSE;
  *size = static_cast<UINT64>(value.QuadPart);
  return S_OK;
}

HRESULT KxInFileStream::Clone(IInStream** stream) {
  if (stream == nullptr) return E_INVALIDARG;
  *stream = nullptr;
  KxComPtr<KxInFileStream> copy(new KxInFileStream);
  UINT64 position = 0;
  if (!copy->OpenFile(name_) || Seek(0, FILE_CURRENT, &position) != S_OK ||
      copy->Seek(static_cast<INT64>(position), FILE_BEGIN, nullptr) != S_OK) {
    // The clone's last reference goes with `copy`.
    return E_FAIL;
  }
  return copy->QueryInterface(IInStream::kInterfaceId, reinterpret_cast<void**>(stream));
}

HRESULT KxInFileStream::GetFileName(std::wstring* name) {
  if (name == nullptr) return E_INVALIDARG;
  *name = name_;
  return name_.empty() ? S_FALSE : S_OK;
}

}  // namespace Kx
