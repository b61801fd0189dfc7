// The plainest libcurl download with the installer's own libcurl_x86.dll
// (beside this program) and its 512 KiB receive buffer, the benchmark's
// yardstick for the handler's libcurl path: one easy transfer whose write
// callback goes straight into WriteFile.
//   plain_curl.exe URL OUTPUT
// Prints "<bytes> <seconds>" from the start of the transfer to the closed file.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

#include <curl/curl.h>

#include <cstdio>
#include <string>

#include "tests/download/bench/BenchClock.h"

namespace {

constexpr long kReceiveBufferSize = 512 * 1024;

// GetProcAddress answers a generic function pointer; the export's own type
// comes from libcurl's header.
template <class Fn>
Fn Export(HMODULE dll, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

struct Curl {
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_setopt) setopt = nullptr;
  decltype(&curl_easy_perform) perform = nullptr;

  bool Load() {
    const HMODULE dll = LoadLibraryW(L"libcurl_x86.dll");
    if (dll == nullptr) return false;
    globalInit = Export<decltype(globalInit)>(dll, "curl_global_init");
    easyInit = Export<decltype(easyInit)>(dll, "curl_easy_init");
    setopt = Export<decltype(setopt)>(dll, "curl_easy_setopt");
    perform = Export<decltype(perform)>(dll, "curl_easy_perform");
    return globalInit && easyInit && setopt && perform && globalInit(CURL_GLOBAL_ALL) == CURLE_OK;
  }
};

struct Sink {
  HANDLE file = INVALID_HANDLE_VALUE;
  unsigned long long total = 0;
};

size_t OnWrite(char* data, size_t size, size_t count, void* context) {
  auto* sink = static_cast<Sink*>(context);
  const DWORD bytes = static_cast<DWORD>(size * count);
  DWORD written = 0;
  if (!WriteFile(sink->file, data, bytes, &written, nullptr) || written != bytes) return 0;
  sink->total += bytes;
  return bytes;
}

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; *text != L'\0'; ++text) narrow += static_cast<char>(*text);
  return narrow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plain_curl URL OUTPUT\n");
    return 2;
  }
  Curl curl;
  if (!curl.Load()) {
    std::fprintf(stderr, "plain_curl: libcurl_x86.dll not usable\n");
    return 3;
  }
  Sink sink;
  sink.file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (sink.file == INVALID_HANDLE_VALUE) return 4;
  zelk::bench::BenchClock clock;
  CURL* easy = curl.easyInit();
  const std::string url = Narrow(argv[1]);
  curl.setopt(easy, CURLOPT_URL, url.c_str());
  curl.setopt(easy, CURLOPT_WRITEFUNCTION, &OnWrite);
  curl.setopt(easy, CURLOPT_WRITEDATA, &sink);
  curl.setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  const CURLcode result = curl.perform(easy);
  // The file is downloaded once it is closed (closing 512 MiB just written
  // takes a few hundred milliseconds): the handler's figure includes that.
  CloseHandle(sink.file);
  const double seconds = clock.Seconds();
  if (result != CURLE_OK) {
    std::fprintf(stderr, "plain_curl: transfer failed, code %d\n", static_cast<int>(result));
    return 5;
  }
  std::printf("%llu %.3f\n", sink.total, seconds);
  return 0;
}
