// Found by the download soak (tests/download/DownloadSoak_test.cpp, "file
// changed" with a partial file left by an earlier download): libcurl resumed
// any partial temporary file of 1 MiB or more without looking at it, so a
// partial of an older version of the file, or one longer than the server's
// file, became a target that differs from the server's file, reported as
// success. A resume now re-reads the partial file's last 32 KiB from the
// server and goes on only when they match.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "download/KxLibCurlDownload.h"
#include "download/KxSimpleDownloadHandler.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::TestServer;

constexpr size_t kMiB = 1048576;

struct StalePartialCase {
  const char* name;
  size_t partialSize;
  unsigned partialSeed;  // the server serves seed 0
  size_t serverSize;
  bool libcurlResumes;   // libcurl alone finishes the download from the partial file
};

class LibCurlStalePartialTest : public ::testing::TestWithParam<StalePartialCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_TRUE(Kx::CurlLibrary::Instance().IsLoaded()) << "libcurl_x86.dll must sit beside the test program";
    target_ = dir_.Join(L"package.exe");
    const StalePartialCase& c = GetParam();
    ASSERT_TRUE(zelk::test::WriteFileBytes(target_ + L".tmp", TestServer::PatternBytes(0, c.partialSize,
                                                                                       c.partialSeed)));
  }

  DL::DownloadRequest Request(const std::string& tag) const {
    DL::DownloadRequest request;
    request.url = TestServer::Url(zelk::test::Utf8ToWide(TestServer::PathForCurrentTest("/stale") + "/package.exe?size=" +
                                                         std::to_string(GetParam().serverSize) + "&" + tag));
    request.targetPath = target_;
    return request;
  }

  zelk::test::ScopedTempDir dir_;
  std::wstring target_;
};

TEST_P(LibCurlStalePartialTest, APartialFileThatDoesNotMatchTheServerIsNeverPartOfTheTarget) {
  const StalePartialCase& c = GetParam();
  const std::string server = TestServer::PatternBytes(0, c.serverSize);
  {
    Kx::KxLibCurlDownload download;
    const bool ok = download.Run(Request("alone=1"), nullptr);
    std::string target;
    const bool hasTarget = zelk::test::ReadFileBytes(target_, target);
    EXPECT_EQ(c.libcurlResumes, ok);
    if (ok) {
      EXPECT_TRUE(hasTarget && target == server) << "a resumed download must equal the server's file";
    } else {
      EXPECT_FALSE(hasTarget);
    }
  }
  // The handler then gets the file right, whatever libcurl left.
  Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
  ASSERT_TRUE(handler->Download(Request("handler=1"), nullptr, 0, 0));
  std::string target;
  ASSERT_TRUE(zelk::test::ReadFileBytes(target_, target));
  EXPECT_TRUE(target == TestServer::PatternBytes(0, c.serverSize)) << "target differs from the server's file";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibCurlStalePartialTest,
    ::testing::Values(StalePartialCase{"SameVersionResumes", kMiB + 5000, 0, kMiB + 300000, true},
                      StalePartialCase{"OlderVersionIsNotResumed", kMiB + 5000, 9, kMiB + 300000, false},
                      StalePartialCase{"ServerFileEndsInsideTheComparedTail", kMiB + 5000, 0, kMiB + 1000, false},
                      StalePartialCase{"ServerFileEndsBeforeThePartialFile", kMiB + 50000, 0, kMiB + 1000, false}),
    [](const ::testing::TestParamInfo<StalePartialCase>& info) { return std::string(info.param.name); });

}  // namespace
