// Downloads one URL to one file (or into a caller's data sink): libcurl
// first when its DLL is present, then WinINet with a resume of the partial
// temporary file and one retry on network errors. The file is written as
// target + ".tmp" and moved onto the target only when complete.
#pragma once

// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "base/CriticalSection.h"
#include "base/KxRefCounted.h"
#include "base/ScopedHandle.h"
#include "download/ISimpleDownloadHandler.h"
#include "download/KxHttpFile.h"
#include "download/KxInternetSession.h"

namespace Kx {
class KxLibCurlDownload;
}

namespace DL {

class KxSimpleDownloadHandler : public Kx::KxRefCountImpl1<ISimpleDownloadHandler> {
 public:
  // The local bytes compared with the server's before a resume.
  static constexpr DWORD kOverlapSize = 0x8000;
  // A partial file this size or smaller is downloaded again instead.
  static constexpr unsigned long long kMinimumResumeSize = 0x10000;
  static constexpr DWORD kReadBlockSize = 0x4000;
  // Longest a read waits for data before it counts as idle (WinINet's
  // receive timeout; under Wine, KxHttpFile's stand-in for it).
  static constexpr DWORD kReceiveTimeoutMs = 1000;
  static constexpr DWORD kIdleWaitMs = 1000;
  // More idle reads than this in a row, with no data between them, end
  // the download as stalled.
  static constexpr int kMaxIdleReads = 15;
  // Longest one open or read may block before the request is given up as
  // dead: as long as the read loop puts up with idle reads. A server that
  // needs more than a second to answer or to send its next block is slow,
  // not gone. A cancel ends the call at once.
  static constexpr DWORD kCallTimeoutMs = (kMaxIdleReads + 1) * kReceiveTimeoutMs;
  // Longest WinINet waits for a connection. An address that never answers
  // costs one such wait per open: at worst two per try (with and without
  // WinINet's redirect handling), three tries, twice, twelve in all, which
  // must fit beside libcurl's 15 s connect timeout in the minute a user
  // waits at most for the failure box. A server that connects at all does
  // so far faster; one that is slow once connected is left to the rules
  // above. Wine's WinINet ignores this option (its connect blocks until the
  // system gives up, about two minutes): there the call limit ends the
  // open, and an open that ran into it is not tried again at once.
  static constexpr DWORD kConnectTimeoutMs = 2500;
  static constexpr DWORD kCurlAbortWaitMs = 3000;

  KxSimpleDownloadHandler();
  ~KxSimpleDownloadHandler() override;

  bool Download(const DownloadRequest& request, Kx::ISimpleDownloadEvent* listener, DWORD speedLimitLow,
                DWORD speedLimitHigh) override;
  bool Cancel() override;
  DWORD GetRetryCount() override;
  DWORD GetBlockedTime() override;
  void Interrupt() override;

  // What OnComplete was (or would have been) told.
  DWORD LastError() const { return lastError_; }
  DWORD LastHttpStatus() const { return lastHttpStatus_; }

  // Whether `error` is one of the network errors worth one more attempt.
  static bool IsNetworkError(DWORD error);

 private:
  enum class ResumeResult { kDone, kFailed, kRestart };
  enum class OverlapResult { kSame, kDifferent, kLocalError, kCancelled, kNetworkFailure };

  // One open answer: what the read loop needs to know about its body.
  struct ResponseInfo {
    std::wstring url;
    unsigned long long contentLength = ~0ull;
    unsigned long long startOffset = 0;
    bool readToEnd = false;
    SYSTEMTIME lastModified = {};
  };

  // The body length and date an open request answered with.
  static ResponseInfo ResponseOf(Kx::KxHttpFile& request);

  bool IsCancelled() const { return cancelled_.load(); }
  bool EnsureTargetFolder();
  bool RunLibCurl(unsigned long long speedLimit);
  bool RunWinInetAttempt();
  bool ShouldRetry(bool succeeded) const;
  bool DownloadToTemporaryFile();
  ResumeResult Resume();
  // True without an expected MD5; else whether the file at `path` has it.
  bool MatchesExpectedMd5(const std::wstring& path) const;
  OverlapResult CheckOverlap(HANDLE file, Kx::KxHttpFile& request);
  bool FullDownload();
  bool OpenWithRetries(Kx::KxHttpFile& request, Kx::KxInternetSession& session, unsigned long long rangeStart);
  bool ReadLoop(Kx::ISimpleDownloadDataEvent* sink, Kx::KxHttpFile& request, const ResponseInfo& response);
  // A read that may come back empty-handed: a timeout is an idle read.
  enum class ReadResult { kData, kIdle, kEnd, kError };
  ReadResult ReadSome(Kx::KxHttpFile& request, void* buffer, DWORD size, DWORD& bytesRead);
  bool CallOnBegin(Kx::KxHttpFile& request, const ResponseInfo& response, unsigned long long total,
                   unsigned long long startOffset);
  bool WaitIdle();

  std::shared_ptr<Kx::KxInternetSession> OpenSession();
  std::shared_ptr<Kx::KxHttpFile> NewCurrentRequest();
  void CloseConnections();
  std::wstring TemporaryPath() const;

  DownloadRequest request_;
  Kx::ISimpleDownloadEvent* listener_ = nullptr;
  std::atomic<bool> cancelled_{false};
  Kx::CriticalSection sessionLock_;
  std::vector<std::shared_ptr<Kx::KxInternetSession>> sessions_;
  DWORD lastError_ = 0;
  DWORD lastHttpStatus_ = 0;
  unsigned long long bytesReceived_ = 0;
  Kx::ScopedHandle cancelEvent_;
  std::atomic<DWORD> retryCount_{0};
  Kx::CriticalSection requestLock_;
  std::shared_ptr<Kx::KxHttpFile> currentRequest_;
  std::atomic<bool> interrupted_{false};
  std::shared_ptr<Kx::KxLibCurlDownload> curlDownload_;  // under sessionLock_
};

}  // namespace DL
