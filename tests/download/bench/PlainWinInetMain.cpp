// The plainest WinINet download, the benchmark's yardstick for the
// handler's WinINet path: InternetOpenUrlW, then 16 KiB InternetReadFile
// calls straight into WriteFile.
//   plain_wininet.exe URL OUTPUT
// Prints "<bytes> <seconds>" from the open to the closed file.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

#include "tests/download/bench/BenchClock.h"

namespace {

constexpr DWORD kBlockSize = 0x4000;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plain_wininet URL OUTPUT\n");
    return 2;
  }
  const HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  zelk::bench::BenchClock clock;
  const HINTERNET session = InternetOpenW(L"plain", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  const HINTERNET request =
      session != nullptr ? InternetOpenUrlW(session, argv[1], nullptr, 0, kRequestFlags, 0) : nullptr;
  if (request == nullptr) {
    std::fprintf(stderr, "plain_wininet: open failed, error %lu\n", GetLastError());
    return 4;
  }
  std::vector<char> block(kBlockSize);
  unsigned long long total = 0;
  DWORD read = 0;
  while (InternetReadFile(request, block.data(), kBlockSize, &read) && read != 0) {
    DWORD written = 0;
    if (!WriteFile(file, block.data(), read, &written, nullptr) || written != read) return 5;
    total += read;
  }
  InternetCloseHandle(request);
  InternetCloseHandle(session);
  // The file is downloaded once it is closed (closing 512 MiB just written
  // takes a few hundred milliseconds): the handler's figure includes that.
  CloseHandle(file);
  const double seconds = clock.Seconds();
  std::printf("%llu %.3f\n", total, seconds);
  return 0;
}
