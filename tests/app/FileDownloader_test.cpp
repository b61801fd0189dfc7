// The downloader's reports as a real window on its own thread receives them.
#include "app/FileDownloader.h"

#include <gtest/gtest.h>

#include "app/InstallFlow.h"
#include "base/FileUtil.h"
#include "base/KxThread.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

using installer::FileDownloader;
using zelk::test::MessageWindow;
using zelk::test::ReceivedMessage;
using zelk::test::ScopedTempDir;
using zelk::test::TestServer;

class FileDownloaderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1";
    FileDownloader::Instance().SetNotifyWindow(window_.Handle());
    FileDownloader::Instance().ResetHandlerSlot();
  }
  void TearDown() override { FileDownloader::Instance().SetNotifyWindow(nullptr); }

  MessageWindow window_;
  ScopedTempDir temp_;
};

TEST_F(FileDownloaderTest, StartThenProgressThenOneFinishEveryRecordFreed) {
  constexpr unsigned long long kSize = 200000;
  const std::wstring url = TestServer::Url(L"/package.exe?size=200000");
  const std::wstring target = temp_.Join(L"package.exe");
  const long liveBefore = DownloadNotification::LiveCount();
  for (int run = 0; run < 100; ++run) {
    // Same target every time: the older file is removed first.
    ASSERT_TRUE(FileDownloader::Instance().Download(url, target)) << "run " << run;
    const std::vector<ReceivedMessage> messages = window_.Drain();
    ASSERT_GE(messages.size(), 3u) << "run " << run;
    EXPECT_EQ(0, messages.front().state);
    unsigned long long lastDone = 0;
    for (size_t i = 1; i + 1 < messages.size(); ++i) {
      ASSERT_EQ(1, messages[i].state) << "run " << run << " message " << i;
      EXPECT_EQ(kSize, messages[i].total);
      EXPECT_GE(messages[i].done, lastDone);
      lastDone = messages[i].done;
    }
    EXPECT_EQ(kSize, lastDone);
    const ReceivedMessage& finish = messages.back();
    EXPECT_EQ(2, finish.state);
    EXPECT_TRUE(finish.success);
    EXPECT_EQ(target, finish.path);
    EXPECT_EQ(0u, finish.total);
  }
  EXPECT_EQ(kSize, Kx::FileSize(target));
  EXPECT_EQ(liveBefore, DownloadNotification::LiveCount()) << "records left unfreed";
}

TEST_F(FileDownloaderTest, EmptyUrlOrTargetPostsNothing) {
  EXPECT_FALSE(FileDownloader::Instance().Download(L"", temp_.Join(L"a.exe")));
  EXPECT_FALSE(FileDownloader::Instance().Download(TestServer::Url(L"/a.exe?size=10"), L""));
  EXPECT_TRUE(window_.Drain().empty());
}

TEST_F(FileDownloaderTest, WithoutWindowNothingIsPostedButTheDownloadRuns) {
  FileDownloader::Instance().SetNotifyWindow(nullptr);
  const long liveBefore = DownloadNotification::LiveCount();
  const std::wstring target = temp_.Join(L"quiet.exe");
  EXPECT_TRUE(FileDownloader::Instance().Download(TestServer::Url(L"/quiet.exe?size=5000"), target));
  EXPECT_EQ(5000u, Kx::FileSize(target));
  EXPECT_TRUE(window_.Drain().empty());
  EXPECT_EQ(liveBefore, DownloadNotification::LiveCount());
}

struct CancelJob {
  std::wstring url;
  std::wstring target;
  bool result = true;
};

void DownloadOnWorker(void* data) {
  auto* const job = static_cast<CancelJob*>(data);
  job->result = FileDownloader::Instance().Download(job->url, job->target);
}

TEST_F(FileDownloaderTest, CancelThroughTheSlotEndsARunningDownload) {
  CancelJob job;
  // A server that sends a little and then nothing.
  job.url = TestServer::Url(L"/stalled.exe?size=1000000&stall=1000");
  job.target = temp_.Join(L"stalled.exe");
  const Kx::KxRefPtr<Kx::KxThread> worker(new Kx::KxThread(&DownloadOnWorker, &job));
  ASSERT_TRUE(worker->Start());
  const std::shared_ptr<DownloadHandlerSlot> slot = FileDownloader::Instance().HandlerSlot();
  ASSERT_TRUE(slot);
  for (int i = 0; i < 1000 && !slot->HasCurrentHandler(); ++i) Sleep(10);
  ASSERT_TRUE(slot->HasCurrentHandler());
  Sleep(200);  // into the stalled read
  EXPECT_TRUE(slot->Cancel());
  ASSERT_TRUE(worker->Wait(60000));
  EXPECT_FALSE(job.result);
  const std::vector<ReceivedMessage> messages = window_.Drain();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(2, messages.back().state);
  EXPECT_FALSE(messages.back().success);
  EXPECT_FALSE(Kx::Exists(job.target));
  EXPECT_FALSE(slot->HasCurrentHandler());
}

}  // namespace
