// What a libcurl transfer reports, and the adapters that pass it on to a
// download handler's listener and data sink.
#pragma once

// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "download/SimpleDownloadEvents.h"

namespace Kx {

// Told about one libcurl transfer, from inside curl_easy_perform.
class ILibCurlDownloadEvent {
 public:
  // `fileTime`: seconds since 1970 (UTC), 0 when the server gave none.
  virtual bool OnBegin(const std::wstring& fileName, const std::wstring& targetPath, const long long* fileTime,
                       unsigned long long contentLength, unsigned long long resumeOffset) = 0;
  // Counts of this transfer only. False aborts it.
  virtual bool OnProgress(unsigned long long total, unsigned long long done) = 0;
  virtual ~ILibCurlDownloadEvent() = default;
};

// Receives the body of a libcurl transfer.
class ILibCurlDownloadDataEvent {
 public:
  virtual bool Write(const void* data, DWORD count, DWORD* written) = 0;
  virtual ~ILibCurlDownloadDataEvent() = default;
};

// Writes the body into the open temporary file (not owned).
class KxLibCurlFileDataEvent : public DL::TSimpleDownloadDataEvent<ILibCurlDownloadDataEvent> {
 public:
  using TSimpleDownloadDataEvent::TSimpleDownloadDataEvent;
};

// Seconds since 1970 as a UTC calendar time (milliseconds 0); false when
// the value cannot be one.
bool UnixTimeToSystemTime(long long seconds, SYSTEMTIME& time);

}  // namespace Kx

namespace DL {

// Passes a libcurl transfer's events to the handler's listener (not owned).
class KxLibCurlToSimpleEvent : public Kx::ILibCurlDownloadEvent {
 public:
  explicit KxLibCurlToSimpleEvent(Kx::ISimpleDownloadEvent* listener) : listener_(listener) {}

  bool OnBegin(const std::wstring& fileName, const std::wstring& targetPath, const long long* fileTime,
               unsigned long long contentLength, unsigned long long resumeOffset) override;
  bool OnProgress(unsigned long long total, unsigned long long done) override;

 private:
  Kx::ISimpleDownloadEvent* listener_;
};

// Passes a libcurl transfer's body to the request's data sink (not owned).
class KxLibCurlToSimpleDataEvent : public Kx::ILibCurlDownloadDataEvent {
 public:
  explicit KxLibCurlToSimpleDataEvent(Kx::ISimpleDownloadDataEvent* sink) : sink_(sink) {}

  bool Write(const void* data, DWORD count, DWORD* written) override {
    return sink_ != nullptr && sink_->Write(data, count, written);
  }

 private:
  Kx::ISimpleDownloadDataEvent* sink_;
};

}  // namespace DL
