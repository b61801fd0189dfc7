#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/ScopedHandle.h"
#include "download/KxHttpFile.h"
#include "tests/support/TestServer.h"

namespace {

using Kx::KxHttpFile;
using Kx::KxInternetSession;
using zelk::test::TestServer;

// One ReadBlock on its own thread, the way the download worker reads while
// another thread watches the call-start tick and cancels.
class BlockReader {
 public:
  explicit BlockReader(KxHttpFile& file) : file_(file), block_(KxHttpFile::kBlockSize) {}
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  bool Start() {
    thread_.Reset(CreateThread(nullptr, 0, &BlockReader::Run, this, 0, nullptr));
    return thread_.IsValid();
  }
  bool Finished(DWORD timeoutMs) { return WaitForSingleObject(thread_.Get(), timeoutMs) == WAIT_OBJECT_0; }

  bool ok = false;
  DWORD read = 0;
  DWORD error = 0;

 private:
  static DWORD CALLBACK Run(void* self) {
    auto* reader = static_cast<BlockReader*>(self);
    reader->ok = reader->file_.Read(reader->block_.data(), KxHttpFile::kBlockSize, reader->read, reader->error);
    return 0;
  }

  KxHttpFile& file_;
  std::vector<char> block_;
  Kx::ScopedHandle thread_;
};

class KxHttpFileCancelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_TRUE(session_.Open());
  }

  // Polls until the file reports a blocking call; its start tick, or 0.
  static DWORD WaitForBlockedCall(const KxHttpFile& file) {
    for (int i = 0; i < 1000; ++i) {
      const DWORD tick = file.CallStartTick();
      if (tick != 0) return tick;
      Sleep(10);
    }
    return 0;
  }

  KxInternetSession session_;
};

TEST_F(KxHttpFileCancelTest, ClosingTheSessionEndsATricklingTransfer) {
  // 3000 bytes, 100 every 100 ms: the 16 KiB read waits about 3 s.
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/trickle/f?size=3000&trickle=100&chunk=100"), L""));
  EXPECT_EQ(0u, file.CallStartTick());

  BlockReader reader(file);
  const DWORD before = GetTickCount();
  ASSERT_TRUE(reader.Start());
  const DWORD tick = WaitForBlockedCall(file);
  ASSERT_NE(0u, tick);
  EXPECT_LE(tick - before, GetTickCount() - before);
  Sleep(300);  // as far as waiting on the socket

  session_.Close();
  // Wine's own InternetReadFile does not notice the close: it runs on until
  // its buffer is full or the body ends (here about 3 s later). The read
  // is given up at once instead and left to finish on a thread of its own.
  ASSERT_TRUE(reader.Finished(60000));
  EXPECT_FALSE(reader.ok);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), reader.error);
  EXPECT_EQ(0u, reader.read);
  EXPECT_EQ(0u, file.CallStartTick());
  EXPECT_FALSE(file.IsOpen());
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  EXPECT_FALSE(file.ReadBlock(block.data(), read));
  EXPECT_EQ(0u, read);
}

TEST_F(KxHttpFileCancelTest, ClosingTheSessionEndsAReadFromAStalledServer) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/stall-cancel/f?size=40000&stall=100"), L""));
  BlockReader reader(file);
  ASSERT_TRUE(reader.Start());
  ASSERT_NE(0u, WaitForBlockedCall(file));
  // Let the read get as far as waiting on the socket: a close that comes
  // before that fails it on the spot with ERROR_INVALID_HANDLE.
  Sleep(300);
  session_.Close();
  // The stalled read would wait for ever under Wine.
  ASSERT_TRUE(reader.Finished(60000));
  EXPECT_FALSE(reader.ok);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), reader.error);
  EXPECT_EQ(0u, file.CallStartTick());
}

TEST_F(KxHttpFileCancelTest, AStalledReadFailsWithTheTimeoutError) {
  session_.SetCallTimeoutMs(1000);
  KxHttpFile file;
  // The open is not what is checked here, and on a busy machine it can take
  // longer than the short call limit: try it again a few times.
  bool opened = false;
  for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
    opened = file.OpenUrl(session_, TestServer::Url(L"/stall-timeout/f?size=40000&stall=100"), L"");
  }
  ASSERT_TRUE(opened);
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  DWORD error = 0;
  // Wine waits for the whole block, so the 100 bytes never come on their own.
  EXPECT_FALSE(file.Read(block.data(), KxHttpFile::kBlockSize, read, error));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_TIMEOUT), error);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(0u, file.CallStartTick());
}

TEST_F(KxHttpFileCancelTest, AServerThatNeverAnswersCannotHoldAnOpen) {
  session_.SetCallTimeoutMs(1000);
  KxHttpFile file;
  EXPECT_FALSE(file.OpenUrl(session_, TestServer::Url(L"/hang-timeout/f?hang=1"), L""));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_TIMEOUT), GetLastError());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(0u, file.CallStartTick());
}

// Runs one OpenUrl on its own thread.
class UrlOpener {
 public:
  UrlOpener(KxHttpFile& file, KxInternetSession& session, std::wstring url)
      : file_(file), session_(session), url_(std::move(url)) {}
  UrlOpener(const UrlOpener&) = delete;
  UrlOpener& operator=(const UrlOpener&) = delete;

  bool Start() {
    thread_.Reset(CreateThread(nullptr, 0, &UrlOpener::Run, this, 0, nullptr));
    return thread_.IsValid();
  }
  bool Finished(DWORD timeoutMs) { return WaitForSingleObject(thread_.Get(), timeoutMs) == WAIT_OBJECT_0; }

  bool ok = true;
  DWORD error = 0;

 private:
  static DWORD CALLBACK Run(void* self) {
    auto* opener = static_cast<UrlOpener*>(self);
    opener->ok = opener->file_.OpenUrl(opener->session_, opener->url_, L"");
    opener->error = GetLastError();
    return 0;
  }

  KxHttpFile& file_;
  KxInternetSession& session_;
  std::wstring url_;
  Kx::ScopedHandle thread_;
};

TEST_F(KxHttpFileCancelTest, ClosingTheSessionEndsAnOpenThatGetsNoAnswer) {
  KxHttpFile file;
  UrlOpener opener(file, session_, TestServer::Url(L"/hang-cancel/f?hang=1"));
  ASSERT_TRUE(opener.Start());
  ASSERT_NE(0u, WaitForBlockedCall(file));
  Sleep(300);  // as far as waiting for the answer
  session_.Close();
  ASSERT_TRUE(opener.Finished(60000));
  EXPECT_FALSE(opener.ok);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), opener.error);
  EXPECT_FALSE(file.IsOpen());
}

}  // namespace
