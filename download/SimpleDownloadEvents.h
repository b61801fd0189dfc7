// What a download reports to its caller, and where its body goes.
#pragma once

// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

#include <string>

namespace Kx {

// Told about one download, on the downloading thread.
class ISimpleDownloadEvent {
 public:
  // False aborts before anything is done.
  virtual bool OnPrepare() = 0;
  // False aborts the download.
  virtual bool OnBegin(const std::wstring& fileName, const std::wstring& targetPath, const SYSTEMTIME* lastModified,
                       unsigned long long totalLength, unsigned long long startOffset) = 0;
  // `total` is all ones when the length is unknown. False aborts.
  virtual bool OnProgress(unsigned long long total, unsigned long long done) = 0;
  // Once per download, unless it was cancelled.
  virtual void OnComplete(bool success, DWORD errorCode, DWORD httpStatus) = 0;
  virtual ~ISimpleDownloadEvent() = default;
};

// Receives the body of a download.
class ISimpleDownloadDataEvent {
 public:
  virtual bool Write(const void* data, DWORD count, DWORD* written) = 0;
  virtual ~ISimpleDownloadDataEvent() = default;
};

}  // namespace Kx

namespace DL {

// Writes the body into an open file (not owned); a write succeeds only when
// WriteFile takes the whole count.
template <class Interface = Kx::ISimpleDownloadDataEvent>
class TSimpleDownloadDataEvent : public Interface {
 public:
  explicit TSimpleDownloadDataEvent(HANDLE file) : file_(file) {}

  bool Write(const void* data, DWORD count, DWORD* written) override {
    DWORD done = 0;
    const bool ok = WriteFile(file_, data, count, &done, nullptr) != FALSE && done == count;
    if (written != nullptr) *written = done;
    if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_WRITE_FAULT);
    return ok;
  }

 private:
  HANDLE file_;
};

}  // namespace DL
