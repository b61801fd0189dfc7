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

// The working set sampled while the body arrives (once per MiB), so the
// growth a download causes shows even below a peak the process reached
// earlier.
class WorkingSetSampler : public zelk::test::RecordingListener {
 public:
  bool OnProgress(unsigned long long total, unsigned long long done) override {
    if (done - lastSampled_ >= kSampleEvery || done == total) {
      lastSampled_ = done;
      const SIZE_T now = MemoryNow().WorkingSetSize;
      if (now > highest) highest = now;
    }
    return RecordingListener::OnProgress(total, done);
  }
  SIZE_T highest = 0;

 private:
  static constexpr unsigned long long kSampleEvery = 1 << 20;
  unsigned long long lastSampled_ = 0;
};

// How far one large download per transport raises the working set above
// the idle process: each transport has downloaded a small file first, so
// its DLLs, threads and connection pool exist already, as they do once the
// installer has fetched anything.
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
    const char* const transport = libcurl ? "libcurl" : "WinINet";
    ASSERT_EQ(0u, DownloadOnce(TestServer::Url(L"/report/warm.bin?size=100000"), dir.Join(L"warm.bin")));
    const std::wstring target = dir.Join(libcurl ? L"curl.bin" : L"wininet.bin");
    DL::DownloadRequest request;
    request.url = url;
    request.targetPath = target;
    Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
    WorkingSetSampler sampler;
    const SIZE_T idle = MemoryNow().WorkingSetSize;
    sampler.highest = idle;
    const bool ok = handler->Download(request, &sampler, 0, 0);
    std::printf("%s: %.0f MiB downloaded; working set idle %.1f MiB, highest while downloading %.1f MiB "
                "(growth %.2f MiB)\n",
                transport, MiB(Kx::FileSize(target)), MiB(idle), MiB(sampler.highest), MiB(sampler.highest - idle));
    EXPECT_TRUE(ok) << transport << ": error " << handler->LastError() << "; the figure above is not that of a whole download";
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
