// Throughput of each transport on one large file from the local server.
// Not a test: disabled, run by scripts/bench-download.sh, which serves the
// file and names it in ZELK_BENCH_FILE.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "download/KxSimpleDownloadHandler.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::TestServer;

// How far a transport got: a failure names its bytes, error and status.
class ProgressTracker : public zelk::test::RecordingListener {
 public:
  bool OnProgress(unsigned long long total, unsigned long long done) override {
    lastTotal = total;
    lastDone = done;
    return RecordingListener::OnProgress(total, done);
  }
  unsigned long long lastTotal = 0;
  unsigned long long lastDone = 0;
};

TEST(DownloadBenchmark, DISABLED_EachTransport) {
  const char* name = std::getenv("ZELK_BENCH_FILE");
  ASSERT_NE(nullptr, name);
  ASSERT_TRUE(TestServer::Available());
  zelk::test::ScopedTempDir dir;
  for (const bool libcurl : {true, false}) {
    const char* const transport = libcurl ? "libcurl" : "WinINet";
    zelk::test::LibCurlPresence curl(libcurl);
    DL::DownloadRequest request;
    request.url = TestServer::Url(L"/files/" + zelk::test::Utf8ToWide(name));
    request.targetPath = dir.Join(libcurl ? L"curl.bin" : L"wininet.bin");
    Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
    ProgressTracker listener;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool ok = handler->Download(request, &listener, 0, 0);
    QueryPerformanceCounter(&end);
    // One transport's failure still lets the other be measured.
    EXPECT_TRUE(ok) << transport << ": error " << handler->LastError() << ", HTTP status "
                    << handler->LastHttpStatus() << ", retries " << handler->GetRetryCount() << ", last progress "
                    << listener.lastDone << " of " << listener.lastTotal;
    if (!ok) continue;
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    const double megabytes = static_cast<double>(Kx::FileSize(request.targetPath)) / 1048576.0;
    std::printf("ours (%s): %.0f MiB in %.2f s = %.1f MB/s\n", transport, megabytes, seconds, megabytes / seconds);
    std::fflush(stdout);
  }
}

}  // namespace
