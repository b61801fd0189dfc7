// Throughput of each transport of the download handler on one large file
// from a local server. Not a test: disabled, run by scripts/bench-download.sh,
// which serves the file (nginx) and names its address in ZELK_BENCH_URL.
// Prints "ours <transport> <bytes> <seconds>" per transport.
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
#include "tests/support/TestSupport.h"

namespace {

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
  const char* url = std::getenv("ZELK_BENCH_URL");
  ASSERT_NE(nullptr, url);
  zelk::test::ScopedTempDir dir;
  for (const bool libcurl : {true, false}) {
    const char* const transport = libcurl ? "libcurl" : "WinINet";
    if (!zelk::test::BenchMeasures(transport)) continue;
    zelk::test::LibCurlPresence curl(libcurl);
    DL::DownloadRequest request;
    request.url = zelk::test::Utf8ToWide(url);
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
    std::printf("ours %s %llu %.3f\n", transport, Kx::FileSize(request.targetPath), seconds);
    std::fflush(stdout);
  }
}

}  // namespace
