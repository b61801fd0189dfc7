#include "download/KxHttpFile.h"

#include <cstring>
#include <vector>

#include "base/StringUtil.h"
#include "download/KxBoundedCall.h"
#include "download/HttpHeaders.h"
#include "download/InternetUrl.h"
#include "download/WinInetLibrary.h"

namespace Kx {
namespace {

// The record HttpSendRequestExW reads has the size of the running architecture.
#if defined(__i386__)
static_assert(sizeof(INTERNET_BUFFERSW) == 40, "32-bit INTERNET_BUFFERSW is 40 bytes");
#else
static_assert(sizeof(INTERNET_BUFFERSW) == 56, "64-bit INTERNET_BUFFERSW is 56 bytes");
#endif

constexpr DWORD kPlainFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION;
constexpr DWORD kSecureFlags = kPlainFlags | INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID |
                               INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS |
                               INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP;
static_assert(kPlainFlags == 0x80400000 && kSecureFlags == 0x80C0F000, "request flags");

constexpr DWORD kRawHeadersLevel = HTTP_QUERY_RAW_HEADERS_CRLF;
constexpr wchar_t kLineBreak[] = L"\r\n";

// Wine ends a read that timed out with the socket's WSAETIMEDOUT where
// Windows gives ERROR_INTERNET_TIMEOUT; callers retry on the latter.
DWORD WinInetError(DWORD error) { return error == WSAETIMEDOUT ? ERROR_INTERNET_TIMEOUT : error; }

void AppendLine(std::wstring& text, const std::wstring& line) {
  if (!text.empty()) text += kLineBreak;
  text += line;
}

std::wstring RangeLine(unsigned long long rangeStart) {
  return rangeStart == 0 ? std::wstring() : L"Range: bytes=" + std::to_wstring(rangeStart) + L"-";
}

const wchar_t* NullIfEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// A header value that is a plain decimal count (blanks around it allowed)
// as 64 bits; false for anything else, and for a count beyond 64 bits.
bool ParseCount(const wchar_t* text, unsigned long long& count) {
  while (*text == L' ' || *text == L'\t') ++text;
  if (*text < L'0' || *text > L'9') return false;
  unsigned long long value = 0;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    const unsigned digit = static_cast<unsigned>(*text - L'0');
    if (value > (~0ull - digit) / 10) return false;
    value = value * 10 + digit;
  }
  while (*text == L' ' || *text == L'\t') ++text;
  if (*text != L'\0') return false;
  count = value;
  return true;
}

}  // namespace

KxHttpFile::~KxHttpFile() {
  StopReadingAhead();
  KxHttpFile::Close();
}

void KxHttpFile::Close() {
  KxInternetHandle::Close();
  CloseSlot(connection_);
}

void KxHttpFile::CloseKeepingError() {
  const DWORD error = GetLastError();
  Close();
  SetLastError(error);
}

template <class Fn>
auto KxHttpFile::Blocking(Fn&& call) -> decltype(call()) {
  // 0 means "no call running", so a tick count of 0 is taken as 1.
  const DWORD now = GetTickCount();
  InterlockedExchange(&callStartTick_, static_cast<LONG>(now != 0 ? now : 1));
  const auto result = call();
  const DWORD error = GetLastError();
  InterlockedExchange(&callStartTick_, 0);
  SetLastError(error);
  return result;
}

template <class R>
bool KxHttpFile::Bounded(std::function<R()> call, std::function<void(const R&)> discard, R& result) {
  // A body still being read is given up before anything else starts.
  StopReadingAhead();
  const HANDLE stop = sessionClosed_ ? sessionClosed_->Get() : nullptr;
  // After a cancel no new call starts.
  if (stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
    CloseKeepingError();
    SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    return false;
  }
  const KxCallEnd end =
      Blocking([&] { return calls_.Run<R>(std::move(call), std::move(discard), stop, timeoutMs_, result); });
  if (end == KxCallEnd::kFinished) return true;
  CloseKeepingError();
  return false;
}

void KxHttpFile::UseSession(const KxInternetSession& session) {
  sessionClosed_ = session.ClosedEvent();
  timeoutMs_ = session.CallTimeoutMs();
  receiveTimeoutMs_ = session.ReceiveTimeoutMs();
}

DWORD KxHttpFile::CallStartTick() const { return static_cast<DWORD>(InterlockedExchangeAdd(&callStartTick_, 0)); }

std::wstring KxHttpFile::GetRequestHeaders(const std::wstring& extraHeaders, const std::wstring& referer,
                                           unsigned long long rangeStart) {
  std::wstring text = extraHeaders;
  if (!referer.empty()) AppendLine(text, L"Referer:" + referer);
  const std::wstring range = RangeLine(rangeStart);
  if (!range.empty()) AppendLine(text, range);
  AppendLine(text, L"Accept:*/*");
  return text;
}

std::wstring KxHttpFile::PostRequestHeaders(const std::wstring& extraHeaders, const std::wstring& referer,
                                            unsigned long long rangeStart) {
  std::wstring text = extraHeaders;
  const std::wstring range = RangeLine(rangeStart);
  if (!range.empty()) AppendLine(text, range);
  if (!referer.empty()) {
    AppendLine(text, L"Referer:" + referer);
    text += kLineBreak;
  }
  return text;
}

bool KxHttpFile::Open(KxInternetSession& session, const std::wstring& url, unsigned long long rangeStart,
                      const std::string& body, const std::wstring& extraHeaders, const std::wstring& referer) {
  rangeStart_ = rangeStart;
  hasRange_ = rangeStart != 0;
  if (body.empty()) return OpenUrl(session, url, GetRequestHeaders(extraHeaders, referer, rangeStart));
  return Post(session, url, body, PostRequestHeaders(extraHeaders, referer, rangeStart), referer);
}

bool KxHttpFile::PrepareUrl(const KxInternetSession& session, const std::wstring& url,
                            PreparedUrl& prepared) const {
  if (IsOpen() || !session.IsOpen() || url.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const std::wstring scheme = url.substr(0, url.find(L':'));
  prepared.url = EqualsNoCase(scheme, L"https") || EqualsNoCase(scheme, L"http") ? url : L"http://" + url;
  prepared.flags = RequestFlagsFor(prepared.url);
  return true;
}

DWORD KxHttpFile::RequestFlagsFor(const std::wstring& url) {
  return EqualsNoCase(url.substr(0, url.find(L':')), L"https") ? kSecureFlags : kPlainFlags;
}

void KxHttpFile::ApplyReceiveTimeout(HINTERNET request, const KxInternetSession& session) const {
  WinInetLibrary::Instance().InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, session.ReceiveTimeoutMs());
}

void KxHttpFile::OpenUrlOnce(KxInternetSession& session, const std::wstring& url, const std::wstring& headers,
                             DWORD flags) {
  // The call may outlive this frame: it gets its own copies.
  const HINTERNET sessionHandle = session.Handle();
  HINTERNET request = nullptr;
  const bool finished = Bounded<HINTERNET>(
      [sessionHandle, url, headers, flags] {
        return WinInetLibrary::Instance().InternetOpenUrlW(sessionHandle, url.c_str(), NullIfEmpty(headers),
                                                           static_cast<DWORD>(headers.size()), flags);
      },
      [](const HINTERNET& late) {
        if (late != nullptr) WinInetLibrary::Instance().InternetCloseHandle(late);
      },
      request);
  if (!finished) return;
  if (request != nullptr) {
    ApplyReceiveTimeout(request, session);
    Attach(request);
    return;
  }
  if (GetLastError() == ERROR_INTERNET_SEC_CERT_REV_FAILED) OpenWithoutRevocationCheck(session, url, flags);
}

bool KxHttpFile::OpenUrl(KxInternetSession& session, const std::wstring& url, const std::wstring& headers) {
  PreparedUrl prepared;
  if (!PrepareUrl(session, url, prepared)) return false;
  UseSession(session);

  OpenUrlOnce(session, prepared.url, headers, prepared.flags);
  if (IsOpen() && QueryStatusCode() != kStatusRedirect) return true;
  // Nothing answered within the session's limits: asking the same server
  // again without WinINet's redirect handling would only wait as long once
  // more.
  if (!IsOpen() && GetLastError() == ERROR_INTERNET_TIMEOUT) return false;

  // WinINet did not get past the first answer (or did not follow its 302):
  // ask again without its redirect handling and follow one hop here.
  CloseKeepingError();
  OpenUrlOnce(session, prepared.url, headers, prepared.flags | INTERNET_FLAG_NO_AUTO_REDIRECT);
  if (!IsOpen()) return false;
  if (QueryStatusCode() == kStatusRedirect) {
    const std::wstring location = QueryHeader(L"Location");
    if (!location.empty()) {
      Close();
      // The location's own scheme decides the flags: with the first
      // address's, a hop between http and https fails in either direction
      // (secure flags on a plain server, plain ones on a TLS server).
      OpenUrlOnce(session, location, headers, RequestFlagsFor(location));
      return IsOpen();
    }
  }
  Close();
  SetLastError(ERROR_HTTP_REDIRECT_FAILED);
  return false;
}

HINTERNET KxHttpFile::ConnectAndOpenRequest(const KxInternetSession& session, const UrlParts& parts,
                                            const wchar_t* verb, const std::wstring& referrer, DWORD flags) {
  const WinInetLibrary& wininet = WinInetLibrary::Instance();
  connection_.store(Blocking([&] {
    return wininet.InternetConnectW(session.Handle(), parts.host.c_str(), parts.port, NullIfEmpty(parts.user),
                                    NullIfEmpty(parts.password), flags);
  }));
  const HINTERNET connection = connection_.load();
  if (connection == nullptr) return nullptr;

  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  const HINTERNET request = Blocking([&] {
    return wininet.HttpOpenRequestW(connection, verb, parts.path.c_str(), NullIfEmpty(referrer), acceptTypes, flags);
  });
  if (request == nullptr) {
    CloseKeepingError();
    return nullptr;
  }
  Attach(request);
  return request;
}

bool KxHttpFile::OpenWithoutRevocationCheck(KxInternetSession& session, const std::wstring& url, DWORD flags) {
  UrlParts parts;
  if (IsOpen() || !CrackUrl(url, parts, true)) return false;
  UseSession(session);
  const HINTERNET request = ConnectAndOpenRequest(session, parts, L"GET", L"", flags);
  if (request == nullptr) return false;
  WinInetLibrary::Instance().InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS,
                                                SECURITY_FLAG_IGNORE_REVOCATION);
  ApplyReceiveTimeout(request, session);
  BOOL sent = FALSE;
  if (!Bounded<BOOL>([request] { return WinInetLibrary::Instance().HttpSendRequestW(request); }, nullptr, sent)) {
    return false;
  }
  if (!sent) {
    CloseKeepingError();
    return false;
  }
  return true;
}

bool KxHttpFile::Post(KxInternetSession& session, const std::wstring& url, const std::string& body,
                      const std::wstring& headers, const std::wstring& referer) {
  PreparedUrl prepared;
  UrlParts parts;
  if (!PrepareUrl(session, url, prepared) || !CrackUrl(prepared.url, parts, true)) return false;
  UseSession(session);
  const HINTERNET request = ConnectAndOpenRequest(session, parts, L"POST", referer, prepared.flags);
  if (request == nullptr) return false;
  // A cancel closes the connection; it must not be sent on.
  if (connection_.load() == nullptr) {
    Close();
    SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    return false;
  }
  ApplyReceiveTimeout(request, session);

  // What the calls below read must outlive this frame if they are given up.
  struct Outgoing {
    std::wstring headers;
    std::string body;
    INTERNET_BUFFERSW buffers = {};
    DWORD written = 0;
  };
  const auto outgoing = std::make_shared<Outgoing>();
  outgoing->headers = headers;
  outgoing->body = body;
  outgoing->buffers.dwStructSize = sizeof(outgoing->buffers);
  outgoing->buffers.lpcszHeader = NullIfEmpty(outgoing->headers);
  outgoing->buffers.dwHeadersLength = static_cast<DWORD>(headers.size());
  outgoing->buffers.dwHeadersTotal = static_cast<DWORD>(headers.size());
  outgoing->buffers.dwBufferTotal = static_cast<DWORD>(body.size());

  BOOL done = FALSE;
  if (!Bounded<BOOL>(
          [request, outgoing] { return WinInetLibrary::Instance().HttpSendRequestExW(request, &outgoing->buffers); },
          nullptr, done) ||
      !done) {
    return false;
  }
  if (!body.empty()) {
    if (!Bounded<BOOL>(
            [request, outgoing] {
              return WinInetLibrary::Instance().InternetWriteFile(request, outgoing->body.data(),
                                                                  static_cast<DWORD>(outgoing->body.size()),
                                                                  &outgoing->written);
            },
            nullptr, done) ||
        !done || outgoing->written != body.size()) {
      return false;
    }
  }
  if (connection_.load() == nullptr) {
    SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    return false;
  }
  return Bounded<BOOL>([request] { return WinInetLibrary::Instance().HttpEndRequestW(request); }, nullptr, done) &&
         done;
}

bool KxHttpFile::Read(void* buffer, DWORD size, DWORD& bytesRead, DWORD& lastError) {
  bytesRead = 0;
  const HINTERNET request = Handle();
  if (request == nullptr || buffer == nullptr || size == 0) {
    lastError = request == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
    SetLastError(lastError);
    return false;
  }
  if (!StartReadingAhead(request)) {
    lastError = GetLastError();
    return false;
  }
  // The reader has waited for its next block since `since`: a little longer
  // than the receive timeout is an idle read (where WinINet applies that
  // timeout, Windows, its own answer comes first), the call timeout a dead
  // server.
  const DWORD since = readAhead_->WaitingSince();
  const DWORD elapsed = GetTickCount() - since;
  const DWORD left = elapsed < timeoutMs_ ? timeoutMs_ - elapsed : 0;
  const DWORD patience = receiveTimeoutMs_ + kReceiveTimeoutGraceMs;
  const bool lastWait = left <= patience;
  const HANDLE stop = sessionClosed_ ? sessionClosed_->Get() : nullptr;
  InterlockedExchange(&callStartTick_, static_cast<LONG>(since));
  const KxReadAhead::TakeResult taken = readAhead_->Take(buffer, size, bytesRead, stop, lastWait ? left : patience);
  if (taken == KxReadAhead::TakeResult::kNothingYet && !lastWait) {
    // The read goes on; the next Read takes its bytes.
    lastError = ERROR_INTERNET_TIMEOUT;
    SetLastError(lastError);
    return false;
  }
  InterlockedExchange(&callStartTick_, 0);
  switch (taken) {
    case KxReadAhead::TakeResult::kData:
      lastError = ERROR_SUCCESS;
      SetLastError(lastError);
      return true;
    case KxReadAhead::TakeResult::kEnd: {
      const bool ok = readAhead_->EndOk();
      lastError = ok ? ERROR_SUCCESS : WinInetError(readAhead_->EndError());
      // The reader has returned: its thread is kept for the next call.
      calls_.Await(nullptr, kReaderSettleMs, true);
      SetLastError(lastError);
      return ok;
    }
    default:
      lastError = taken == KxReadAhead::TakeResult::kStopped ? ERROR_INTERNET_OPERATION_CANCELLED
                                                              : ERROR_INTERNET_TIMEOUT;
      // Given up: the reader finishes its read on its own thread.
      StopReadingAhead();
      CloseKeepingError();
      SetLastError(lastError);
      return false;
  }
}

bool KxHttpFile::StartReadingAhead(HINTERNET request) {
  if (readAhead_ && readAheadRequest_ == request) return true;
  StopReadingAhead();
  const HANDLE stop = sessionClosed_ ? sessionClosed_->Get() : nullptr;
  // After a cancel no new read starts.
  if (stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
    CloseKeepingError();
    SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    return false;
  }
  auto readAhead = std::make_unique<KxReadAhead>();
  if (!readAhead->Usable()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  readAhead->Start(calls_, request);
  readAhead_ = std::move(readAhead);
  readAheadRequest_ = request;
  return true;
}

void KxHttpFile::StopReadingAhead() {
  if (!readAhead_) return;
  readAhead_->Stop();
  readAhead_.reset();
  readAheadRequest_ = nullptr;
  // A reader still inside InternetReadFile is left to it on its thread.
  calls_.Await(nullptr, 0, true);
  InterlockedExchange(&callStartTick_, 0);
}

bool KxHttpFile::ReadBlock(void* buffer, DWORD& bytesRead) {
  DWORD lastError = 0;
  return Read(buffer, kBlockSize, bytesRead, lastError);
}

bool KxHttpFile::QueryInfo(DWORD level, void* buffer, DWORD& length) {
  const HINTERNET request = Handle();
  if (request == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return Blocking([&] { return WinInetLibrary::Instance().HttpQueryInfoW(request, level, buffer, &length); }) !=
         FALSE;
}

bool KxHttpFile::QueryNumber(DWORD level, DWORD& value) {
  DWORD number = 0;
  DWORD length = sizeof(number);
  if (!QueryInfo(level | HTTP_QUERY_FLAG_NUMBER, &number, length)) return false;
  value = number;
  return true;
}

DWORD KxHttpFile::QueryStatusCode() {
  DWORD status = 0;
  return QueryNumber(HTTP_QUERY_STATUS_CODE, status) ? status : 0;
}

std::wstring KxHttpFile::QueryRawHeaders() {
  DWORD length = 0;
  if (QueryInfo(kRawHeadersLevel, nullptr, length)) return {};
  std::vector<char> buffer;
  while (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Room for the text and three zero bytes after it.
    buffer.assign(length + 3, '\0');
    DWORD room = length;
    if (QueryInfo(kRawHeadersLevel, buffer.data(), room)) {
      std::wstring text(reinterpret_cast<const wchar_t*>(buffer.data()), room / sizeof(wchar_t));
      text.resize(wcsnlen(text.c_str(), text.size()));
      return ReplaceAll(ReplaceAll(text, L"\r", L"\n"), L"\n\n", L"\n");
    }
    length = room;
  }
  return {};
}

std::wstring KxHttpFile::QueryHeader(const std::wstring& name) { return HeaderValue(ParseHeaders(QueryRawHeaders()), name); }

std::wstring KxHttpFile::QueryFileName() { return FileNameFromHeaders(QueryRawHeaders()); }

bool LengthInfo(KxHttpFile& file, HttpLengthInfo& info) {
  info = HttpLengthInfo();
  // Read as text: WinINet's number query gives 32 bits, which would cut a
  // length of 4 GiB or more short, and the read loop would then stop early
  // with a "complete" file. It also reads "-5" as a count of about 4 GiB.
  wchar_t text[32] = {};
  DWORD textSize = sizeof(text) - sizeof(wchar_t);
  unsigned long long length = 0;
  const bool known = file.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text, textSize) && ParseCount(text, length);
  if (known) info.contentLength = length;
  DWORD size = sizeof(info.lastModified);
  if (!file.QueryInfo(HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &info.lastModified, size)) {
    info.lastModified = SYSTEMTIME();
  }
  return known;
}

}  // namespace Kx
