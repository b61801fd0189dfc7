// Shared pieces of the download handler's tests: a listener that records
// what it is told, and questions about the server's request log.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "download/CurlLibrary.h"
#include "download/SimpleDownloadEvents.h"
#include "tests/support/TestServer.h"

namespace zelk::test {

class RecordingListener : public Kx::ISimpleDownloadEvent {
 public:
  bool OnPrepare() override {
    ++prepares;
    return true;
  }
  bool OnBegin(const std::wstring& name, const std::wstring&, const SYSTEMTIME*, unsigned long long total,
               unsigned long long start) override {
    ++begins;
    fileName = name;
    beginTotal = total;
    beginOffset = start;
    return true;
  }
  bool OnProgress(unsigned long long, unsigned long long) override {
    ++progresses;
    return true;
  }
  void OnComplete(bool success, DWORD error, DWORD status) override {
    ++completes;
    completeSuccess = success;
    completeError = error;
    completeStatus = status;
  }

  int prepares = 0;
  int begins = 0;
  std::atomic<int> progresses{0};
  std::atomic<int> completes{0};
  std::wstring fileName;
  unsigned long long beginTotal = 0;
  unsigned long long beginOffset = 0;
  bool completeSuccess = false;
  DWORD completeError = 0;
  DWORD completeStatus = 0;
};

// Every download in these tests sends this header text: WinINet sends it as
// a header line, libcurl as its agent string, so the log tells them apart.
inline const wchar_t* ProbeHeader() { return L"X-Probe: 1"; }

inline bool SentByLibCurl(const RecordedRequest& request) {
  return request.headerText.find("User-Agent: X-Probe: 1") != std::string::npos;
}

inline bool SentByWinInet(const RecordedRequest& request) {
  return !SentByLibCurl(request) && request.headerText.find("X-Probe: 1") != std::string::npos;
}

// The "Range:" value a request sent; "" without one.
inline std::string RangeOf(const RecordedRequest& request) {
  const std::string& text = request.headerText;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (line.size() > 6 && _strnicmp(line.c_str(), "Range:", 6) == 0) {
      const size_t value = line.find_first_not_of(' ', 6);
      return value == std::string::npos ? std::string() : line.substr(value);
    }
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return std::string();
}

// Runs a scope with or without the libcurl DLL: without it the library is
// looked for in a folder that does not have it.
class LibCurlPresence {
 public:
  explicit LibCurlPresence(bool present) {
    Kx::CurlLibrary::Instance().SetFolder(present ? std::wstring() : std::wstring(L"C:\\zelk-no-libcurl-here"));
  }
  ~LibCurlPresence() { Kx::CurlLibrary::Instance().SetFolder(std::wstring()); }
  LibCurlPresence(const LibCurlPresence&) = delete;
  LibCurlPresence& operator=(const LibCurlPresence&) = delete;
};

// Whether a benchmark measures `transport` ("libcurl" or "WinINet"): all of
// them, unless ZELK_BENCH_TRANSPORT names one.
inline bool BenchMeasures(const std::string& transport) {
  const char* only = std::getenv("ZELK_BENCH_TRANSPORT");
  return only == nullptr || transport == only;
}

}  // namespace zelk::test
