// One download over libcurl: easy-handle set-up, the header, write and
// progress callbacks, resuming a partial temporary file, and the move of the
// finished file onto the target.
#pragma once

// curl.h must come before windows.h (it pulls in winsock2.h).
#include <curl/curl.h>
#include <windows.h>

#include <memory>
#include <string>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"
#include "download/CurlProxySettings.h"
#include "download/DownloadRequest.h"
#include "download/LibCurlDownloadEvents.h"

namespace Kx {

// A partial temporary file below this size is not worth resuming.
constexpr unsigned long long kLibCurlMinimumResumeSize = 1048576;
// A resume asks again for this many bytes before the partial file's end and
// goes on only when the server's bytes match them: a partial file of an
// older version of the file, or one longer than the server's, is not used.
constexpr DWORD kLibCurlResumeOverlap = 0x8000;

// The state of one libcurl download, shared with its callbacks.
struct KxLibCurlDownloadData {
  static constexpr unsigned long long kUnknownLength = ~0ull;

  std::wstring url;
  std::wstring targetPath;
  std::wstring referrer;
  std::wstring extraHeaders;
  ILibCurlDownloadDataEvent* dataSink = nullptr;
  ILibCurlDownloadEvent* listener = nullptr;
  CURL* easy = nullptr;  // while the transfer runs; owned by Run
  unsigned long long speedLimit = 0;
  bool keepPartial = true;
  unsigned long long expectedSize = 0;
  unsigned long long contentLength = kUnknownLength;
  unsigned long long resumeOffset = 0;
  unsigned long long bytesWritten = 0;
  std::string overlap;         // the partial file's tail, compared with the body's start
  size_t overlapChecked = 0;   // bytes of `overlap` the body has matched so far
  bool overlapDiffers = false;
  long long fileTime = 0;
  std::wstring offeredFileName;
  DWORD lastError = 0;
  DWORD httpStatus = 0;
  bool firstData = true;
};

class KxLibCurlDownload {
 public:
  // `speedLimit` in bytes per second, 0 = none.
  explicit KxLibCurlDownload(unsigned long long speedLimit = 0);
  KxLibCurlDownload(const KxLibCurlDownload&) = delete;
  KxLibCurlDownload& operator=(const KxLibCurlDownload&) = delete;

  // Downloads `request` into its data sink, or into a temporary file that
  // is moved onto the target at the end. `listener` may be null.
  bool Run(const DL::DownloadRequest& request, ILibCurlDownloadEvent* listener);

  // Any thread: makes the transfer stop at its next callback and waits up
  // to `waitMs` for Run to end.
  void Abort(DWORD waitMs);

  bool IsRunning() const;
  // A CURLcode, or a Win32 error for a file failure.
  DWORD LastError() const { return data_->lastError; }
  DWORD HttpStatus() const { return data_->httpStatus; }
  // The temporary file of the last Run ("" with a data sink).
  const std::wstring& TemporaryPath() const { return temporaryPath_; }

 private:
  bool Transfer(const DL::DownloadRequest& request);
  bool ChooseTemporaryFile(const DL::DownloadRequest& request);
  bool ShouldResume(const DL::DownloadRequest& request);
  unsigned long long ProbeLength() const;
  ScopedHandle OpenTemporaryFile(bool resume);
  bool ReadOverlap(HANDLE file);
  bool OverlapConfirmed() const;
  static bool CheckOverlap(KxLibCurlDownloadData& state, const char*& data, size_t& bytes);
  bool SetOptions(CURL* easy) const;
  // The connect timeout and the user's proxy, for every easy handle.
  bool SetConnectionOptions(CURL* easy) const;
  bool IsAborted() const;
  void SetRunning(bool running);

  static size_t __cdecl OnHeader(char* line, size_t size, size_t count, void* self);
  static size_t __cdecl OnWrite(char* data, size_t size, size_t count, void* self);
  static int __cdecl OnTransferInfo(void* self, curl_off_t downloadTotal, curl_off_t downloadNow,
                                    curl_off_t uploadTotal, curl_off_t uploadNow);
  void TakeHeader(const std::string& line);
  bool BeginBody();

  std::shared_ptr<KxLibCurlDownloadData> data_;
  std::wstring temporaryPath_;
  CurlProxySettings proxy_;
  mutable CriticalSection lock_;
  bool running_ = false;
  bool aborted_ = false;
  ScopedHandle done_;
};

}  // namespace Kx
