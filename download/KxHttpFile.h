// One HTTP request over WinINet: GET through InternetOpenUrlW (redirects
// followed by WinINet, plus one hop by hand when it answers 302), POST
// through connect / open request / send, block reads and header queries.
//
// Every blocking WinINet call is time-stamped (CallStartTick) so another
// thread can see how long the current call has been stuck and cancel it by
// closing the session; Windows then ends the blocked call with an error.
// Calls that wait on the network (open, send, write, end, read) run through
// KxBoundedCall, so that closing the session, or the session's call
// timeout passing, ends them under Wine as well. A request whose call was
// given up that way is closed.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <vector>

#include "base/ScopedHandle.h"
#include "download/KxBoundedCall.h"
#include "download/KxInternetHandle.h"
#include "download/KxInternetSession.h"
#include "download/KxReadAhead.h"

namespace Kx {

struct UrlParts;

class KxHttpFile : public KxInternetHandle {
 public:
  // Size of one ReadBlock.
  static constexpr DWORD kBlockSize = KxReadAhead::kBlockSize;
  // 302 is answered with one hop by hand at most.
  static constexpr DWORD kStatusRedirect = 302;

  KxHttpFile() = default;
  ~KxHttpFile() override;

  // Closes the request and, when there is one, its connection.
  void Close() override;

  // Sends the request: POST when `body` has bytes, GET otherwise, with
  // `extraHeaders` ("\r\n"-separated lines), a "Referer:" line when
  // `referer` is given, and "Range: bytes=<rangeStart>-" when `rangeStart`
  // is not 0.
  bool Open(KxInternetSession& session, const std::wstring& url, unsigned long long rangeStart,
            const std::string& body, const std::wstring& extraHeaders, const std::wstring& referer);

  // GET with `headers`. A URL without a scheme is taken as http://. Fails
  // when this object already holds a request.
  bool OpenUrl(KxInternetSession& session, const std::wstring& url, const std::wstring& headers);

  // POST of `body` with `headers`; `referer` also goes to HttpOpenRequestW.
  bool Post(KxInternetSession& session, const std::wstring& url, const std::string& body,
            const std::wstring& headers, const std::wstring& referer);

  // GET through connect / open request / send, with certificate
  // revocation not checked. OpenUrl falls back to it when WinINet reports
  // that revocation could not be checked. No extra headers are sent.
  bool OpenWithoutRevocationCheck(KxInternetSession& session, const std::wstring& url, DWORD flags);

  // Up to `size` bytes of the body. The body is read ahead in 16 KiB
  // InternetReadFile calls on a thread of the request's own (KxReadAhead);
  // Read takes what has come. `lastError` is GetLastError() after the call.
  // False without a request, buffer or size, or when the body failed; true
  // with 0 bytes at its end.
  //
  // Wine applies no receive timeout to a request opened by InternetOpenUrlW
  // and its read waits until the whole buffer is filled. So a Read that has
  // waited a little longer than the session's receive timeout answers
  // ERROR_INTERNET_TIMEOUT with the request still open, as on Windows, and
  // the read goes on: a later Read takes its bytes. Only once the reader
  // has waited the session's call timeout for a block is it given up and
  // the request closed.
  bool Read(void* buffer, DWORD size, DWORD& bytesRead, DWORD& lastError);
  // One read of kBlockSize bytes into `buffer`, which must hold them.
  bool ReadBlock(void* buffer, DWORD& bytesRead);

  // Status code, 0 without an answer.
  DWORD QueryStatusCode();
  // HttpQueryInfoW of `level` as a number.
  bool QueryNumber(DWORD level, DWORD& value);
  // HttpQueryInfoW as it is; `length` in bytes.
  bool QueryInfo(DWORD level, void* buffer, DWORD& length);
  // All response headers, lines separated by "\n"; "" on failure.
  std::wstring QueryRawHeaders();
  // Value of the first header called `name` (ignoring case); "" when absent.
  std::wstring QueryHeader(const std::wstring& name);
  // The name offered in "Content-Disposition"; "" when there is none.
  std::wstring QueryFileName();

  // GetTickCount() when the blocking call now running began; 0 when no
  // call is running. Safe from any thread.
  DWORD CallStartTick() const;

  bool HasRange() const { return hasRange_; }
  unsigned long long RangeStart() const { return rangeStart_; }
  HINTERNET ConnectionHandle() const { return connection_.load(); }

  // The header text Open sends for a GET and for a POST.
  static std::wstring GetRequestHeaders(const std::wstring& extraHeaders, const std::wstring& referer,
                                        unsigned long long rangeStart);
  static std::wstring PostRequestHeaders(const std::wstring& extraHeaders, const std::wstring& referer,
                                         unsigned long long rangeStart);

 private:
  struct PreparedUrl {
    std::wstring url;
    DWORD flags = 0;
  };

  bool PrepareUrl(const KxInternetSession& session, const std::wstring& url, PreparedUrl& prepared) const;
  // The request flags for `url`'s scheme: secure ones for https.
  static DWORD RequestFlagsFor(const std::wstring& url);
  // InternetOpenUrlW, and the fallback when revocation could not be checked.
  void OpenUrlOnce(KxInternetSession& session, const std::wstring& url, const std::wstring& headers, DWORD flags);
  // InternetConnectW to the server of `parts`, kept as this object's
  // connection, and HttpOpenRequestW of `verb` on its path (accepting
  // "*/*", `referrer` when given), attached as its request. The request, or
  // null, with whatever was opened closed again, when either call fails.
  HINTERNET ConnectAndOpenRequest(const KxInternetSession& session, const UrlParts& parts, const wchar_t* verb,
                                  const std::wstring& referrer, DWORD flags);
  // Closes what an open left behind without losing its error code.
  void CloseKeepingError();
  void ApplyReceiveTimeout(HINTERNET request, const KxInternetSession& session) const;

  // Requests of this object wait on `session`'s close and timeout.
  void UseSession(const KxInternetSession& session);

  // Runs one blocking WinINet call with the call-start tick set around it.
  template <class Fn>
  auto Blocking(Fn&& call) -> decltype(call());

  // Runs a call that waits on the network through KxBoundedCall, with the
  // tick set around the wait. False when the call was given up (the
  // session closed, or it timed out); this request is then closed.
  template <class R>
  bool Bounded(std::function<R()> call, std::function<void(const R&)> discard, R& result);

  // How much longer than the receive timeout a read is waited for before it
  // counts as timed out, so that WinINet's own timeout answers first where
  // it has one.
  static constexpr DWORD kReceiveTimeoutGraceMs = 500;

  // How long a read that has seen the body's end waits for its thread to
  // say so, so the thread is kept for the next call.
  static constexpr DWORD kReaderSettleMs = 1000;

  // Starts reading `request`'s body ahead unless that is under way; false
  // after a cancel.
  bool StartReadingAhead(HINTERNET request);
  // Lets go of the body being read; a read still running finishes on its
  // own thread.
  void StopReadingAhead();

  std::atomic<HINTERNET> connection_{nullptr};
  std::shared_ptr<const ScopedHandle> sessionClosed_;
  DWORD timeoutMs_ = KxInternetSession::kDefaultCallTimeoutMs;
  DWORD receiveTimeoutMs_ = KxInternetSession::kDefaultReceiveTimeoutMs;
  KxBoundedCall calls_;
  std::unique_ptr<KxReadAhead> readAhead_;
  HINTERNET readAheadRequest_ = nullptr;  // the request readAhead_ reads
  bool hasRange_ = false;
  unsigned long long rangeStart_ = 0;
  mutable volatile LONG callStartTick_ = 0;
};

// Length and date of an answer, as LengthInfo reads them.
struct HttpLengthInfo {
  static constexpr unsigned long long kUnknownLength = ~0ull;
  unsigned long long contentLength = kUnknownLength;
  SYSTEMTIME lastModified = {};
};

// Fills `info` from the answer's "Content-Length" (a plain decimal count,
// all 64 bits of it) and "Last-Modified"; whether the length was known.
bool LengthInfo(KxHttpFile& file, HttpLengthInfo& info);

}  // namespace Kx
