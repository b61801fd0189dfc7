#include "download/KxSimpleDownloadHandler.h"

#include <vector>

#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "download/CurlLibrary.h"
#include "download/DownloadFileName.h"
#include "download/HttpHeaders.h"
#include "download/KxLibCurlDownload.h"
#include "download/LibCurlDownloadEvents.h"
#include "download/TemporaryFileCommit.h"
#include "download/WinInetLibrary.h"
#include "verify/KxMD5.h"

namespace DL {
namespace {

constexpr int kOpenTries = 3;
constexpr DWORD kOpenRetryPauseMs = 20;
constexpr DWORD kRetryPauseMs = 1000;
constexpr DWORD kMinimumConnectionsPerServer = 64;
constexpr DWORD kLocationChars = 1024;
constexpr unsigned long long kUnknownLength = ~0ull;

// Many parallel connections to one server are allowed process-wide (the
// WinINet default of 2 would queue a resume behind a dying request).
void RaiseConnectionLimits() {
  const Kx::WinInetLibrary& wininet = Kx::WinInetLibrary::Instance();
  for (const DWORD option : {static_cast<DWORD>(INTERNET_OPTION_MAX_CONNS_PER_SERVER),
                             static_cast<DWORD>(INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER)}) {
    DWORD value = 0;
    DWORD length = sizeof(value);
    if (!wininet.InternetQueryOptionW(option, &value, &length) || value < kMinimumConnectionsPerServer)
      wininet.InternetSetOptionW(nullptr, option, kMinimumConnectionsPerServer);
  }
}

}  // namespace

KxSimpleDownloadHandler::KxSimpleDownloadHandler() : cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

KxSimpleDownloadHandler::~KxSimpleDownloadHandler() = default;

bool KxSimpleDownloadHandler::IsNetworkError(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_TIMEOUT:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
      return true;
    default:
      return false;
  }
}

bool KxSimpleDownloadHandler::Download(const DownloadRequest& request, Kx::ISimpleDownloadEvent* listener,
                                       DWORD speedLimitLow, DWORD speedLimitHigh) {
  if (request.url.empty() || (request.dataSink == nullptr && request.targetPath.empty()) || IsCancelled())
    return false;
  retryCount_ = 0;
  if (listener != nullptr && !listener->OnPrepare()) return false;
  request_ = request;
  if (request_.dataSink == nullptr && !EnsureTargetFolder()) {
    if (listener != nullptr) listener->OnComplete(false, lastError_, 0);
    return false;
  }

  listener_ = listener;
  const unsigned long long speedLimit = (static_cast<unsigned long long>(speedLimitHigh) << 32) | speedLimitLow;
  bool ok = RunLibCurl(speedLimit);
  if (!ok) {
    ok = RunWinInetAttempt();
    while (ShouldRetry(ok)) {
      if (WaitForSingleObject(cancelEvent_.Get(), kRetryPauseMs) == WAIT_OBJECT_0) break;
      ++retryCount_;
      ok = RunWinInetAttempt();
    }
  }
  listener_ = nullptr;
  if (IsCancelled()) return false;
  if (listener != nullptr) listener->OnComplete(ok, lastError_, lastHttpStatus_);
  return ok;
}

bool KxSimpleDownloadHandler::ShouldRetry(bool succeeded) const {
  return !succeeded && request_.retry && request_.keepPartial && retryCount_ < 1 && !IsCancelled() &&
         (IsNetworkError(lastError_) || interrupted_.load());
}

bool KxSimpleDownloadHandler::EnsureTargetFolder() {
  const std::wstring folder = Kx::FolderOf(request_.targetPath);
  if (folder.empty() || Kx::FolderExists(folder)) return true;
  Kx::CreateFolders(folder);
  if (Kx::FolderExists(folder)) return true;
  lastError_ = GetLastError();
  if (lastError_ == ERROR_SUCCESS) lastError_ = ERROR_PATH_NOT_FOUND;
  return false;
}

bool KxSimpleDownloadHandler::RunLibCurl(unsigned long long speedLimit) {
  if (IsCancelled() || !Kx::CurlLibrary::Instance().IsLoaded()) return false;
  auto download = std::make_shared<Kx::KxLibCurlDownload>(speedLimit);
  {
    Kx::CriticalSectionLock lock(sessionLock_);
    curlDownload_ = download;
  }
  KxLibCurlToSimpleEvent events(listener_);
  const bool ok = download->Run(request_, &events);
  {
    Kx::CriticalSectionLock lock(sessionLock_);
    if (curlDownload_ == download) curlDownload_.reset();
  }
  lastError_ = ok ? 0 : download->LastError();
  lastHttpStatus_ = download->HttpStatus();
  return ok && !IsCancelled();
}

bool KxSimpleDownloadHandler::RunWinInetAttempt() {
  if (IsCancelled()) return false;
  bytesReceived_ = 0;
  lastError_ = 0;
  lastHttpStatus_ = 0;
  ResetEvent(cancelEvent_.Get());

  if (request_.dataSink != nullptr) {
    const bool ok = FullDownload();
    if (ok) {
      lastError_ = 0;
    } else if (lastError_ == 0) {
      lastError_ = GetLastError();
    }
    return ok;
  }
  if (!EnsureTargetFolder()) return false;

  bool ok = DownloadToTemporaryFile();
  if (ok && !Kx::CommitTemporaryFile(TemporaryPath(), request_.targetPath)) {
    lastError_ = GetLastError();
    ok = false;
  }
  if (!ok) {
    if (!request_.keepPartial && Kx::FileExists(TemporaryPath())) Kx::RemoveFileForced(TemporaryPath());
    if (lastError_ == 0) lastError_ = GetLastError();
  }
  return ok;
}

std::wstring KxSimpleDownloadHandler::TemporaryPath() const { return Kx::TemporaryPathFor(request_.targetPath); }

bool KxSimpleDownloadHandler::DownloadToTemporaryFile() {
  if (request_.keepPartial) {
    const ResumeResult resumed = Resume();
    if (resumed == ResumeResult::kDone) return true;
    if (resumed == ResumeResult::kFailed) return false;
    // Network trouble ends the attempt so the retry can resume again.
    if (IsCancelled() || IsNetworkError(lastError_)) return false;
    Kx::RemoveFileForced(TemporaryPath());
  }
  return FullDownload();
}

KxSimpleDownloadHandler::ResumeResult KxSimpleDownloadHandler::Resume() {
  // The temporary file lies in a folder its user can change: never written through a link.
  Kx::ScopedHandle file = Kx::OpenFileNotLink(TemporaryPath(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    lastError_ = GetLastError();
    return ResumeResult::kRestart;
  }
  const std::shared_ptr<Kx::KxInternetSession> session = OpenSession();
  LARGE_INTEGER size = {};
  if (!session || !GetFileSizeEx(file.Get(), &size)) return ResumeResult::kRestart;
  const auto fileSize = static_cast<unsigned long long>(size.QuadPart);
  if (fileSize <= kMinimumResumeSize) return ResumeResult::kRestart;

  const unsigned long long offset = fileSize - kOverlapSize;
  const std::shared_ptr<Kx::KxHttpFile> request = NewCurrentRequest();
  if (!OpenWithRetries(*request, *session, offset)) return ResumeResult::kRestart;

  const long long total = Kx::TotalLengthFromHeaders(request->QueryRawHeaders());
  if (total < 0 || static_cast<unsigned long long>(total) < fileSize) return ResumeResult::kRestart;
  const unsigned long long expected = request_.expectedSize;
  if (expected != 0 && expected != kUnknownLength && expected != static_cast<unsigned long long>(total))
    return ResumeResult::kRestart;

  // The length comes first: a body shorter than the overlap cannot pass it.
  ResponseInfo response = ResponseOf(*request);
  if (!response.readToEnd && response.contentLength < kOverlapSize) return ResumeResult::kRestart;

  switch (CheckOverlap(file.Get(), *request)) {
    case OverlapResult::kSame:
      break;
    case OverlapResult::kDifferent:
    case OverlapResult::kLocalError:
      return ResumeResult::kRestart;
    case OverlapResult::kCancelled:
    case OverlapResult::kNetworkFailure:
      return ResumeResult::kFailed;
  }

  if (!response.readToEnd) response.contentLength -= kOverlapSize;  // already read by the overlap check
  response.startOffset = offset;
  if (!CallOnBegin(*request, response, static_cast<unsigned long long>(total), offset)) return ResumeResult::kFailed;

  TSimpleDownloadDataEvent<> sink(file.Get());
  if (!ReadLoop(&sink, *request, response)) return ResumeResult::kFailed;
  file.Reset();
  // The overlap vouches only for the last 32 KiB; a digest the caller
  // knows covers the bytes kept from before as well.
  if (!MatchesExpectedMd5(TemporaryPath())) {
    lastError_ = 0;  // no network trouble: the restart downloads afresh
    return ResumeResult::kRestart;
  }
  return ResumeResult::kDone;
}

bool KxSimpleDownloadHandler::MatchesExpectedMd5(const std::wstring& path) const {
  if (request_.expectedMd5.empty()) return true;
  Kx::KxMD5 md5;
  return md5.HashFile(path) && Kx::EqualsNoCase(md5.GetHexString(), request_.expectedMd5);
}

KxSimpleDownloadHandler::ResponseInfo KxSimpleDownloadHandler::ResponseOf(Kx::KxHttpFile& request) {
  Kx::HttpLengthInfo length;
  Kx::LengthInfo(request, length);
  ResponseInfo response;
  response.contentLength = length.contentLength;
  response.lastModified = length.lastModified;
  response.readToEnd = length.contentLength == kUnknownLength;
  return response;
}

KxSimpleDownloadHandler::OverlapResult KxSimpleDownloadHandler::CheckOverlap(HANDLE file, Kx::KxHttpFile& request) {
  // One buffer: the local tail in the first half, the server's bytes in the second.
  std::vector<char> buffer(2 * kOverlapSize);
  LARGE_INTEGER back = {};
  back.QuadPart = -static_cast<LONGLONG>(kOverlapSize);
  DWORD localRead = 0;
  if (!SetFilePointerEx(file, back, nullptr, FILE_END) ||
      !ReadFile(file, buffer.data(), kOverlapSize, &localRead, nullptr) || localRead != kOverlapSize) {
    lastError_ = GetLastError();
    return OverlapResult::kLocalError;
  }

  char* const remote = buffer.data() + kOverlapSize;
  DWORD filled = 0;
  int idleReads = 0;
  while (filled < kOverlapSize) {
    if (IsCancelled()) return OverlapResult::kCancelled;
    DWORD got = 0;
    switch (ReadSome(request, remote + filled, kOverlapSize - filled, got)) {
      case ReadResult::kData:
        filled += got;
        idleReads = 0;
        break;
      case ReadResult::kIdle:
        if (!WaitIdle()) return OverlapResult::kCancelled;
        if (++idleReads > kMaxIdleReads) return OverlapResult::kNetworkFailure;
        break;
      case ReadResult::kEnd:
      case ReadResult::kError:
        return OverlapResult::kNetworkFailure;
    }
  }
  return memcmp(buffer.data(), remote, kOverlapSize) == 0 ? OverlapResult::kSame : OverlapResult::kDifferent;
}

bool KxSimpleDownloadHandler::FullDownload() {
  if (IsCancelled()) return false;
  Kx::ScopedHandle file;
  if (request_.dataSink == nullptr) {
    file = Kx::OpenFileNotLink(TemporaryPath(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (!file) {
      lastError_ = GetLastError();
      return false;
    }
  }
  const std::shared_ptr<Kx::KxInternetSession> session = OpenSession();
  if (!session) {
    lastError_ = GetLastError();
    return false;
  }
  const std::shared_ptr<Kx::KxHttpFile> request = NewCurrentRequest();
  if (!OpenWithRetries(*request, *session, 0)) return false;

  const ResponseInfo response = ResponseOf(*request);
  if (!CallOnBegin(*request, response, response.contentLength, 0)) return false;

  TSimpleDownloadDataEvent<> fileSink(file.Get());
  Kx::ISimpleDownloadDataEvent* const sink = request_.dataSink != nullptr ? request_.dataSink : &fileSink;
  return ReadLoop(sink, *request, response);
}

bool KxSimpleDownloadHandler::CallOnBegin(Kx::KxHttpFile& request, const ResponseInfo& response,
                                          unsigned long long total, unsigned long long startOffset) {
  if (listener_ == nullptr) return true;
  std::wstring name = request.QueryFileName();
  if (name.empty()) name = Kx::FileNameFromUrl(request_.url);
  return listener_->OnBegin(name, request_.targetPath, &response.lastModified, total, startOffset);
}

bool KxSimpleDownloadHandler::OpenWithRetries(Kx::KxHttpFile& request, Kx::KxInternetSession& session,
                                              unsigned long long rangeStart) {
  std::wstring url = request_.url;
  for (int attempt = 0; attempt < kOpenTries; ++attempt) {
    request.Close();
    lastHttpStatus_ = 0;
    if (request.Open(session, url, rangeStart, std::string(), request_.extraHeaders, request_.referrer)) {
      DWORD status = 0;
      if (request.QueryNumber(HTTP_QUERY_STATUS_CODE, status)) {
        lastHttpStatus_ = status;
        if (status == HTTP_STATUS_OK || status == HTTP_STATUS_PARTIAL_CONTENT) {
          // A server that ignores the range would have its whole file
          // appended to the partial one.
          if (rangeStart == 0 || status == HTTP_STATUS_PARTIAL_CONTENT) {
            lastError_ = 0;
            return true;
          }
        } else if (status == HTTP_STATUS_REDIRECT) {
          wchar_t location[kLocationChars] = {};
          DWORD bytes = sizeof(location) - sizeof(wchar_t);
          if (!request.QueryInfo(HTTP_QUERY_LOCATION, location, bytes)) return false;
          url.assign(location, bytes / sizeof(wchar_t));
          continue;
        } else {
          lastError_ = GetLastError();
          return false;
        }
      }
    }
    lastError_ = GetLastError();
    if (!session.IsOpen()) return false;
    // A server that has not answered for the whole call limit is not asked
    // again at once: the attempt's retry, a second later, asks once more.
    if (lastError_ == ERROR_INTERNET_TIMEOUT) return false;
    Sleep(kOpenRetryPauseMs);
  }
  return false;
}

KxSimpleDownloadHandler::ReadResult KxSimpleDownloadHandler::ReadSome(Kx::KxHttpFile& request, void* buffer,
                                                                      DWORD size, DWORD& bytesRead) {
  DWORD error = 0;
  const bool ok = request.Read(buffer, size, bytesRead, error);
  lastError_ = error;
  if (!ok) {
    // The receive timeout ran out with nothing to read: the server is
    // slow, not gone, unless the connection was closed by a cancel.
    if (error == ERROR_INTERNET_TIMEOUT && request.IsOpen() && !IsCancelled() && bytesRead == 0)
      return ReadResult::kIdle;
    return ReadResult::kError;
  }
  return bytesRead != 0 ? ReadResult::kData : ReadResult::kEnd;
}

bool KxSimpleDownloadHandler::WaitIdle() {
  return WaitForSingleObject(cancelEvent_.Get(), 0) != WAIT_OBJECT_0 && !IsCancelled();
}

bool KxSimpleDownloadHandler::ReadLoop(Kx::ISimpleDownloadDataEvent* sink, Kx::KxHttpFile& request,
                                       const ResponseInfo& response) {
  if (sink == nullptr) return false;
  std::vector<char> block(kReadBlockSize);
  unsigned long long received = 0;
  bool failed = false;
  int idleReads = 0;
  const bool known = !response.readToEnd;
  while (response.contentLength != 0 && !IsCancelled()) {
    DWORD got = 0;
    const ReadResult result = ReadSome(request, block.data(), kReadBlockSize, got);
    if (IsCancelled() || result == ReadResult::kError) {
      failed = true;
      break;
    }
    if (result == ReadResult::kData) {
      // Only a stall of more than kMaxIdleReads in a row ends the loop; the
      // gaps of a jittery link, each a second or two, add up to no limit.
      idleReads = 0;
      received += got;
      DWORD written = 0;
      if (!sink->Write(block.data(), got, &written) || written != got) {
        lastError_ = GetLastError();
        failed = true;
        break;
      }
    } else if (result == ReadResult::kEnd) {
      if (!known) break;
      // WinINet ends a body with an empty read; before the promised
      // length that means the connection was dropped.
      lastError_ = ERROR_INTERNET_CONNECTION_ABORTED;
      failed = true;
      break;
    } else if (!WaitIdle() || ++idleReads > kMaxIdleReads) {
      failed = true;
      break;
    }
    const unsigned long long total = known ? response.contentLength + response.startOffset : kUnknownLength;
    if (listener_ != nullptr && !listener_->OnProgress(total, response.startOffset + received)) {
      failed = true;
      break;
    }
    if (known && received >= response.contentLength) break;
  }
  bytesReceived_ = received;
  if (IsCancelled() || failed) return false;
  return !known || received == response.contentLength;
}

std::shared_ptr<Kx::KxInternetSession> KxSimpleDownloadHandler::OpenSession() {
  auto session = std::make_shared<Kx::KxInternetSession>();
  session->SetReceiveTimeoutMs(kReceiveTimeoutMs);
  session->SetCallTimeoutMs(kCallTimeoutMs);
  session->SetConnectTimeoutMs(kConnectTimeoutMs);
  if (!session->Open()) return nullptr;
  {
    Kx::CriticalSectionLock lock(sessionLock_);
    sessions_.push_back(session);
  }
  RaiseConnectionLimits();
  return session;
}

std::shared_ptr<Kx::KxHttpFile> KxSimpleDownloadHandler::NewCurrentRequest() {
  auto request = std::make_shared<Kx::KxHttpFile>();
  Kx::CriticalSectionLock lock(requestLock_);
  currentRequest_ = request;
  return request;
}

void KxSimpleDownloadHandler::CloseConnections() {
  std::vector<std::shared_ptr<Kx::KxInternetSession>> sessions;
  std::shared_ptr<Kx::KxLibCurlDownload> curl;
  {
    Kx::CriticalSectionLock lock(sessionLock_);
    sessions.swap(sessions_);
    curl.swap(curlDownload_);
  }
  for (const auto& session : sessions) session->Close();
  if (curl) curl->Abort(kCurlAbortWaitMs);
}

bool KxSimpleDownloadHandler::Cancel() {
  cancelled_ = true;
  SetEvent(cancelEvent_.Get());
  CloseConnections();
  return true;
}

void KxSimpleDownloadHandler::Interrupt() {
  interrupted_ = true;
  CloseConnections();
}

DWORD KxSimpleDownloadHandler::GetRetryCount() { return retryCount_; }

DWORD KxSimpleDownloadHandler::GetBlockedTime() {
  std::shared_ptr<Kx::KxHttpFile> request;
  {
    Kx::CriticalSectionLock lock(requestLock_);
    request = currentRequest_;
  }
  const DWORD start = request ? request->CallStartTick() : 0;
  return start != 0 ? GetTickCount() - start : 0;
}

}  // namespace DL
