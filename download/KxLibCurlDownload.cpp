#include "download/KxLibCurlDownload.h"

#include <algorithm>
#include <cstring>

#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "download/CurlLibrary.h"
#include "download/CurlProxySettings.h"
#include "download/DownloadFileName.h"
#include "download/LibCurlHeaderLine.h"
#include "download/TemporaryFileCommit.h"
#include "download/TextEncoding.h"

namespace Kx {
namespace {

constexpr long kMaxRedirects = 5;
constexpr long kLowSpeedSeconds = 60;
constexpr long kLowSpeedBytesPerSecond = 1;
// Longest wait for a connection (TCP and TLS, to the server or its proxy).
// Without it an address that never answers holds libcurl for its default
// 300 s before the download falls back to WinINet. Only the connection is
// timed: a server that answers, however slowly, is left to the low-speed
// rule above.
constexpr long kConnectTimeoutSeconds = 15;
// libcurl receives into a 16 KiB buffer unless told otherwise: one socket
// wait, one receive, one write callback and one file write per 16 KiB.
// Under Wine every socket call is a round trip to the wine server, which
// made that the download's bottleneck; 512 KiB cut the per-block work 32
// times over. A libcurl too old for this size keeps its own.
constexpr long kReceiveBufferSize = 512 * 1024;
constexpr unsigned kMaxTemporaryNumber = 9999;
// CURLINFO_CONTENT_LENGTH_DOWNLOAD: the length as a double, which every
// libcurl version answers (the header marks the name deprecated).
constexpr CURLINFO kContentLengthAsDouble = static_cast<CURLINFO>(CURLINFO_DOUBLE + 15);

// libcurl takes its URLs, proxies and header texts in the system's ANSI
// code page, and the names it decodes from a header are UTF-8.
std::string ToAnsi(const std::wstring& text) { return WideToCodePage(text, CP_ACP); }

}  // namespace

KxLibCurlDownload::KxLibCurlDownload(unsigned long long speedLimit)
    : data_(std::make_shared<KxLibCurlDownloadData>()), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  data_->speedLimit = speedLimit;
}

bool KxLibCurlDownload::IsRunning() const {
  CriticalSectionLock lock(lock_);
  return running_;
}

bool KxLibCurlDownload::IsAborted() const {
  CriticalSectionLock lock(lock_);
  return aborted_;
}

void KxLibCurlDownload::SetRunning(bool running) {
  CriticalSectionLock lock(lock_);
  running_ = running;
  if (running) {
    ResetEvent(done_.Get());
  } else {
    SetEvent(done_.Get());
  }
}

void KxLibCurlDownload::Abort(DWORD waitMs) {
  bool running;
  {
    CriticalSectionLock lock(lock_);
    aborted_ = true;
    running = running_;
  }
  if (running) WaitForSingleObject(done_.Get(), waitMs);
}

bool KxLibCurlDownload::Run(const DL::DownloadRequest& request, ILibCurlDownloadEvent* listener) {
  KxLibCurlDownloadData& data = *data_;
  data.url = request.url;
  data.targetPath = request.targetPath;
  data.referrer = request.referrer;
  data.extraHeaders = request.extraHeaders;
  data.keepPartial = request.keepPartial;
  data.expectedSize = request.expectedSize;
  data.listener = listener;
  SetRunning(true);
  const bool ok = Transfer(request);
  data.listener = nullptr;
  data.dataSink = nullptr;
  SetRunning(false);
  return ok;
}

bool KxLibCurlDownload::Transfer(const DL::DownloadRequest& request) {
  KxLibCurlDownloadData& data = *data_;
  // Read for each download: the user may have changed them meanwhile.
  UserProxyConfig proxyConfig;
  UserProxyConfig::Read(proxyConfig);
  proxy_ = CurlProxySettings::For(proxyConfig, data.url);
  DL::KxLibCurlToSimpleDataEvent sinkAdapter(request.dataSink);
  if (request.dataSink != nullptr) {
    temporaryPath_.clear();
    data.dataSink = &sinkAdapter;
  } else if (!ChooseTemporaryFile(request)) {
    return false;
  }

  ScopedHandle file;
  std::unique_ptr<KxLibCurlFileDataEvent> fileSink;
  if (request.dataSink == nullptr) {
    data.resumeOffset = 0;
    data.overlap.clear();
    data.overlapChecked = 0;
    data.overlapDiffers = false;
    const bool resume = ShouldResume(request);
    file = OpenTemporaryFile(resume);
    if (!file || (resume && !ReadOverlap(file.Get()))) {
      data.lastError = GetLastError();
      return false;
    }
    fileSink = std::make_unique<KxLibCurlFileDataEvent>(file.Get());
    data.dataSink = fileSink.get();
  }

  const CurlLibrary& curl = CurlLibrary::Instance();
  KxLibCurlAutoEasyHandle easy;
  if (!easy || !SetOptions(easy.Get())) {
    data.lastError = CURLE_FAILED_INIT;
    return false;
  }
  data.easy = easy.Get();
  const CURLcode code = curl.Perform(easy.Get());
  data.easy = nullptr;
  data.lastError = static_cast<DWORD>(code);
  const bool transferred = code == CURLE_OK && !IsAborted() && OverlapConfirmed();
  file.Reset();
  if (request.dataSink != nullptr) return transferred;

  if (data.overlapDiffers || (code == CURLE_OK && !OverlapConfirmed())) {
    // The partial file is not the start of the server's file (another
    // version, or longer than it): nobody may resume it.
    RemoveFileForced(temporaryPath_);
    if (data.lastError == CURLE_OK) data.lastError = CURLE_RANGE_ERROR;
    return false;
  }
  if (!transferred) {
    // A partial file is what the next attempt resumes from; one nobody will
    // resume is not left behind.
    if (!data.keepPartial) RemoveFileForced(temporaryPath_);
    return false;
  }
  if (!CommitTemporaryFile(temporaryPath_, data.targetPath)) {
    data.lastError = GetLastError();
    RemoveFileForced(temporaryPath_);
    return false;
  }
  return true;
}

bool KxLibCurlDownload::ChooseTemporaryFile(const DL::DownloadRequest& request) {
  KxLibCurlDownloadData& data = *data_;
  temporaryPath_.clear();
  std::wstring folder = FolderWithSeparatorOf(request.targetPath);
  std::wstring name = FileNameOf(request.targetPath);
  if (name.empty()) name = FileNameFromUrl(request.url);
  if (name.empty()) return false;
  data.targetPath = folder + name;
  if (!folder.empty() && !FolderExists(folder) && !CreateFolders(folder) && !FolderExists(folder)) {
    data.lastError = GetLastError();
    return false;
  }
  const std::wstring candidate = TemporaryPathFor(data.targetPath);
  if (!FileExists(candidate) || data.keepPartial) {
    temporaryPath_ = candidate;
    return true;
  }
  for (unsigned number = 1; number <= kMaxTemporaryNumber; ++number) {
    std::wstring numbered = data.targetPath + L"(" + std::to_wstring(number) + L").tmp";
    if (!Exists(numbered)) {
      temporaryPath_.swap(numbered);
      return true;
    }
  }
  return false;
}

bool KxLibCurlDownload::ShouldResume(const DL::DownloadRequest& request) {
  if (!request.keepPartial || !FileExists(temporaryPath_)) return false;
  if (FileSize(temporaryPath_) < kLibCurlMinimumResumeSize) {
    RemoveFileForced(temporaryPath_);
    return false;
  }
  if (request.expectedSize == 0) return true;
  return ProbeLength() == request.expectedSize;
}

unsigned long long KxLibCurlDownload::ProbeLength() const {
  const CurlLibrary& curl = CurlLibrary::Instance();
  KxLibCurlAutoEasyHandle probe;
  double length = -1;
  const bool ok = probe && curl.SetString(probe.Get(), CURLOPT_URL, ToAnsi(data_->url)) == CURLE_OK &&
                  SetConnectionOptions(probe.Get()) &&
                  curl.SetString(probe.Get(), CURLOPT_CUSTOMREQUEST, "GET") == CURLE_OK &&
                  curl.SetLong(probe.Get(), CURLOPT_NOBODY, 1) == CURLE_OK && curl.Perform(probe.Get()) == CURLE_OK &&
                  curl.GetDouble(probe.Get(), kContentLengthAsDouble, &length) == CURLE_OK;
  return (ok && length >= 0) ? static_cast<unsigned long long>(length) : KxLibCurlDownloadData::kUnknownLength;
}

ScopedHandle KxLibCurlDownload::OpenTemporaryFile(bool resume) {
  // Read access too: a resume reads the file's tail back. Never written
  // through a link, as the folder may be its user's to change.
  ScopedHandle file = OpenFileNotLink(temporaryPath_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL);
  if (!file) return file;
  // A partial file that is not resumed is written over from its start; its
  // old tail must not survive behind a shorter new body.
  LARGE_INTEGER zero = {};
  const bool placed = SetFilePointerEx(file.Get(), zero, nullptr, resume ? FILE_END : FILE_BEGIN) &&
                      (resume || SetEndOfFile(file.Get()));
  if (!placed) return ScopedHandle();
  return file;
}

// The last kLibCurlResumeOverlap bytes of the partial file; the resume
// starts that far before its end and the file stays positioned at its end.
bool KxLibCurlDownload::ReadOverlap(HANDLE file) {
  KxLibCurlDownloadData& data = *data_;
  data.overlap.assign(kLibCurlResumeOverlap, '\0');
  LARGE_INTEGER back = {};
  back.QuadPart = -static_cast<LONGLONG>(kLibCurlResumeOverlap);
  LARGE_INTEGER end = {};
  DWORD read = 0;
  if (!SetFilePointerEx(file, back, nullptr, FILE_END) ||
      !ReadFile(file, &data.overlap[0], kLibCurlResumeOverlap, &read, nullptr) || read != kLibCurlResumeOverlap ||
      !SetFilePointerEx(file, LARGE_INTEGER{}, &end, FILE_CURRENT)) {
    data.overlap.clear();
    return false;
  }
  data.resumeOffset = static_cast<unsigned long long>(end.QuadPart) - kLibCurlResumeOverlap;
  return true;
}

bool KxLibCurlDownload::OverlapConfirmed() const {
  const KxLibCurlDownloadData& data = *data_;
  return !data.overlapDiffers && data.overlapChecked == data.overlap.size();
}

// Consumes the body's first bytes while they are compared with the partial
// file's tail; false at the first difference.
bool KxLibCurlDownload::CheckOverlap(KxLibCurlDownloadData& state, const char*& data, size_t& bytes) {
  const size_t compared = std::min(bytes, state.overlap.size() - state.overlapChecked);
  if (compared == 0) return true;
  if (std::memcmp(data, state.overlap.data() + state.overlapChecked, compared) != 0) {
    state.overlapDiffers = true;
    return false;
  }
  state.overlapChecked += compared;
  data += compared;
  bytes -= compared;
  return true;
}

bool KxLibCurlDownload::SetOptions(CURL* easy) const {
  const CurlLibrary& curl = CurlLibrary::Instance();
  const KxLibCurlDownloadData& data = *data_;
  void* const self = const_cast<KxLibCurlDownload*>(this);
  bool ok = curl.SetString(easy, CURLOPT_URL, ToAnsi(data.url)) == CURLE_OK &&
            curl.SetWriteFunction(easy, CURLOPT_WRITEFUNCTION, &OnWrite) == CURLE_OK &&
            curl.SetPointer(easy, CURLOPT_WRITEDATA, self) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_FOLLOWLOCATION, 1) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_NOPROGRESS, 0) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_SSL_VERIFYPEER, 0) == CURLE_OK &&
            curl.SetProgressFunction(easy, &OnTransferInfo) == CURLE_OK &&
            curl.SetPointer(easy, CURLOPT_XFERINFODATA, self) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond) == CURLE_OK &&
            curl.SetWriteFunction(easy, CURLOPT_HEADERFUNCTION, &OnHeader) == CURLE_OK &&
            curl.SetPointer(easy, CURLOPT_HEADERDATA, self) == CURLE_OK &&
            curl.SetLong(easy, CURLOPT_FILETIME, 1) == CURLE_OK && SetConnectionOptions(easy);
  if (ok && !data.referrer.empty()) ok = curl.SetString(easy, CURLOPT_REFERER, ToAnsi(data.referrer)) == CURLE_OK;
  // The extra header text travels as the agent string. Only a single line:
  // line breaks in it would end the request's header block early.
  if (ok && !data.extraHeaders.empty() && data.extraHeaders.find_first_of(L"\r\n") == std::wstring::npos)
    ok = curl.SetString(easy, CURLOPT_USERAGENT, ToAnsi(data.extraHeaders)) == CURLE_OK;
  if (ok && data.speedLimit != 0)
    ok = curl.SetOffset(easy, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(data.speedLimit)) == CURLE_OK;
  if (ok && data.resumeOffset != 0 && FileExists(temporaryPath_))
    ok = curl.SetOffset(easy, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(data.resumeOffset)) == CURLE_OK;
  // Only a hint, so its refusal fails nothing. A speed-limited transfer
  // keeps the small buffer, which keeps libcurl's pauses between reads short.
  if (ok && data.speedLimit == 0) curl.SetLong(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  return ok;
}

bool KxLibCurlDownload::SetConnectionOptions(CURL* easy) const {
  const CurlLibrary& curl = CurlLibrary::Instance();
  if (curl.SetLong(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds) != CURLE_OK) return false;
  if (!proxy_.Applies()) return true;
  // An empty proxy makes libcurl connect direct, whatever its environment says.
  return curl.SetString(easy, CURLOPT_PROXY, ToAnsi(proxy_.Proxy())) == CURLE_OK &&
         curl.SetString(easy, CURLOPT_NOPROXY, ToAnsi(proxy_.NoProxy())) == CURLE_OK;
}

size_t __cdecl KxLibCurlDownload::OnHeader(char* line, size_t size, size_t count, void* self) {
  auto* download = static_cast<KxLibCurlDownload*>(self);
  if (download->IsAborted()) return 0;
  download->TakeHeader(std::string(line, size * count));
  return size * count;
}

void KxLibCurlDownload::TakeHeader(const std::string& text) {
  const LibCurlHeaderLine line = ParseLibCurlHeaderLine(text);
  if (line.contentLength != 0) data_->contentLength = line.contentLength;
  std::string decoded;
  if (line.offersFileName && CurlLibrary::Instance().Unescape(data_->easy, line.escapedFileName, decoded))
    data_->offeredFileName = Utf8ToWide(decoded);
}

size_t __cdecl KxLibCurlDownload::OnWrite(char* data, size_t size, size_t count, void* self) {
  auto* download = static_cast<KxLibCurlDownload*>(self);
  if (download->IsAborted()) return 0;
  KxLibCurlDownloadData& state = *download->data_;
  if (state.firstData) {
    state.firstData = false;
    if (!download->BeginBody()) return 0;
  }
  const size_t received = size * count;
  const char* rest = data;
  size_t bytes = received;
  if (!CheckOverlap(state, rest, bytes)) return 0;
  if (bytes == 0) return received;
  DWORD written = 0;
  if (state.dataSink == nullptr || !state.dataSink->Write(rest, static_cast<DWORD>(bytes), &written) ||
      written != bytes)
    return 0;
  state.bytesWritten += bytes;
  return received;
}

bool KxLibCurlDownload::BeginBody() {
  KxLibCurlDownloadData& data = *data_;
  const CurlLibrary& curl = CurlLibrary::Instance();
  long status = 0;
  curl.GetLong(data.easy, CURLINFO_RESPONSE_CODE, &status);
  // A server that ignores the range would have its whole file appended to
  // the partial one.
  const long expected = data.resumeOffset != 0 ? 206 : 200;
  if (status != expected) return false;
  data.httpStatus = static_cast<DWORD>(status);
  if (data.offeredFileName.empty()) {
    const char* effective = nullptr;
    if (curl.GetString(data.easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective != nullptr)
      data.offeredFileName = FileNameFromUrl(Utf8ToWide(effective, std::strlen(effective)));
  }
  long fileTime = -1;
  if (curl.GetLong(data.easy, CURLINFO_FILETIME, &fileTime) == CURLE_OK && fileTime != -1) data.fileTime = fileTime;
  if (data.listener != nullptr)
    data.listener->OnBegin(data.offeredFileName, data.targetPath, &data.fileTime, data.contentLength,
                           data.resumeOffset);
  return true;
}

int __cdecl KxLibCurlDownload::OnTransferInfo(void* self, curl_off_t downloadTotal, curl_off_t downloadNow,
                                              curl_off_t, curl_off_t) {
  auto* download = static_cast<KxLibCurlDownload*>(self);
  if (download == nullptr || download->IsAborted()) return 1;
  ILibCurlDownloadEvent* const listener = download->data_->listener;
  if (downloadTotal != 0 && listener != nullptr &&
      !listener->OnProgress(static_cast<unsigned long long>(downloadTotal), static_cast<unsigned long long>(downloadNow)))
    return 1;
  return 0;
}

}  // namespace Kx
