// What a download costs the process: peak working set while one large file
// arrives, and the handle count before and after many downloads. Not a
// test: disabled, run by scripts/resource-report.sh, which serves the large
// file and names it in ZELK_REPORT_FILE. The figures are printed, never
// asserted.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "download/KxSimpleDownloadHandler.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/ProcessMemory.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::MemoryNow;
using zelk::test::MiB;
using zelk::test::TestServer;

// Wine answers GetProcessHandleCount with 0, so the handles are counted as
// the handle values GetHandleInformation accepts.
DWORD HandlesNow() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
  constexpr ULONG_PTR kHighestProbed = 0x40000;
  for (ULONG_PTR value = 4; value <= kHighestProbed; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// The handler's last error, 0 on success.
DWORD DownloadOnce(const std::wstring& url, const std::wstring& target) {
  DL::DownloadRequest request;
  request.url = url;
  request.targetPath = target;
  Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
  if (handler->Download(request, nullptr, 0, 0)) return 0;
  return handler->LastError() != 0 ? handler->LastError() : ERROR_GEN_FAILURE;
}

// Peak working set of the process across one large download per transport.
// The peak is process-wide and never falls, so each transport reports how
// far it raised it above what the process had already reached.
TEST(ResourceReport, DISABLED_PeakWorkingSetDuringALargeDownload) {
  const char* name = std::getenv("ZELK_REPORT_FILE");
  ASSERT_NE(nullptr, name);
  ASSERT_TRUE(TestServer::Available());
  zelk::test::ScopedTempDir dir;
  const std::wstring url = TestServer::Url(L"/files/" + zelk::test::Utf8ToWide(name));
  std::printf("before any download: working set %.1f MiB, peak %.1f MiB\n", MiB(MemoryNow().WorkingSetSize),
              MiB(MemoryNow().PeakWorkingSetSize));
  for (const bool libcurl : {false, true}) {
    zelk::test::LibCurlPresence curl(libcurl);
    const std::wstring target = dir.Join(libcurl ? L"curl.bin" : L"wininet.bin");
    const SIZE_T peakBefore = MemoryNow().PeakWorkingSetSize;
    const DWORD error = DownloadOnce(url, target);
    const PROCESS_MEMORY_COUNTERS after = MemoryNow();
    std::printf("%s: %.0f MiB downloaded (error %lu); peak working set %.1f MiB (raised by %.1f MiB), "
                "working set after %.1f MiB\n",
                libcurl ? "libcurl" : "WinINet", MiB(Kx::FileSize(target)), error, MiB(after.PeakWorkingSetSize),
                MiB(after.PeakWorkingSetSize - peakBefore), MiB(after.WorkingSetSize));
    EXPECT_EQ(0u, error) << "the figure above is not that of a whole download";
    Kx::RemoveFileForced(target);
  }
}

// Handles held by the process before and after 50 downloads (half over
// each transport, some of them failing), so a leak per download shows.
TEST(ResourceReport, DISABLED_HandleCountAcrossFiftyDownloads) {
  ASSERT_TRUE(TestServer::Available());
  zelk::test::ScopedTempDir dir;
  // One warm-up download per transport: the DLLs, WinINet's and libcurl's
  // own threads and the server connection pools exist from then on.
  for (const bool libcurl : {false, true}) {
    zelk::test::LibCurlPresence curl(libcurl);
    DownloadOnce(TestServer::Url(L"/report/warm.bin?size=1000"), dir.Join(L"warm.bin"));
  }
  const DWORD before = HandlesNow();
  int succeeded = 0;
  for (int i = 0; i < 50; ++i) {
    zelk::test::LibCurlPresence curl(i % 2 == 0);
    // Every fifth download fails: a 404 leaves no file.
    const std::wstring query = i % 5 == 4 ? L"size=10&status=404" : L"size=300000&cutfirst=100000";
    const std::wstring url = TestServer::Url(L"/report/" + std::to_wstring(i) + L".bin?" + query);
    succeeded += DownloadOnce(url, dir.Join(std::to_wstring(i) + L".bin")) == 0 ? 1 : 0;
  }
  const DWORD after = HandlesNow();
  std::printf("handles: %lu before, %lu after 50 downloads (%d succeeded, %d failed)\n", before, after, succeeded,
              50 - succeeded);
}

}  // namespace
