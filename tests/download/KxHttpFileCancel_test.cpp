#include <gtest/gtest.h>

#include <string>
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

  session_.Close();
  ASSERT_TRUE(reader.Finished(60000));
  EXPECT_EQ(0u, file.CallStartTick());
  // Windows fails the blocked read at once. Wine lets it run on until its
  // buffer is full or the body ends, so here it brings the whole (short)
  // body; what ends the transfer is that the request died with its
  // session: the next read fails.
  EXPECT_TRUE(reader.ok);
  EXPECT_EQ(3000u, reader.read);
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  EXPECT_FALSE(file.ReadBlock(block.data(), read));
  EXPECT_EQ(0u, read);
}

}  // namespace
