#include "verify/KxInFileStream.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace {

using zelk::test::ScopedTempDir;
using zelk::test::WriteFileBytes;

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

class KxInFileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Join(L"stream.bin");
    content_ = Pattern(3 * 1048576 + 5);
    ASSERT_TRUE(WriteFileBytes(path_, content_));
    stream_ = Kx::KxInFileStream::Open(path_);
    ASSERT_TRUE(stream_);
  }

  ScopedTempDir dir_;
  std::wstring path_;
  std::string content_;
  Kx::KxComPtr<Kx::KxInFileStream> stream_;
};

TEST_F(KxInFileStreamTest, QueryGivesTheListedInterfacesAndAddsAReference) {
  struct Case {
    ULONG id;
    void* expected;
  };
  Kx::KxInFileStream* const s = stream_.Get();
  const Case cases[] = {
      {0, static_cast<Kx::IInStream*>(s)},
      {1026, static_cast<Kx::IInStream*>(s)},
      {1028, static_cast<Kx::IStreamGetSize*>(s)},
      {1030, static_cast<Kx::ICloneStream*>(s)},
      {1031, static_cast<Kx::IStreamGetFileName*>(s)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    void* out = nullptr;
    ASSERT_EQ(S_OK, s->QueryInterface(c.id, &out));
    EXPECT_EQ(c.expected, out);
    // The query's reference: 1 (ours) + 1 (query) + 1 (this AddRef).
    EXPECT_EQ(3u, s->AddRef());
    EXPECT_EQ(2u, s->Release());
    EXPECT_EQ(1u, static_cast<Kx::IKxUnknown*>(static_cast<Kx::IInStream*>(out))->Release());
  }
}

TEST_F(KxInFileStreamTest, QueryRefusesOtherIdsAndANullOutPointer) {
  for (const ULONG id : {1u, 1025u, 1027u, 1029u, 1032u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(id);
    void* out = this;
    EXPECT_EQ(E_NOINTERFACE, stream_->QueryInterface(id, &out));
    EXPECT_EQ(nullptr, out);
  }
  EXPECT_EQ(E_INVALIDARG, stream_->QueryInterface(1026, nullptr));
  EXPECT_EQ(2u, stream_->AddRef());
  EXPECT_EQ(1u, stream_->Release());
}

TEST_F(KxInFileStreamTest, ReadFillsLargeRequestsAndStopsAtTheEnd) {
  std::string buffer(content_.size() + 100, '\0');
  UINT32 read = 0;
  EXPECT_EQ(S_OK, stream_->Read(buffer.data(), static_cast<UINT32>(buffer.size()), &read));
  ASSERT_EQ(content_.size(), read);
  EXPECT_TRUE(buffer.compare(0, read, content_) == 0);

  EXPECT_EQ(S_OK, stream_->Read(buffer.data(), 10, &read));
  EXPECT_EQ(0u, read);
}

TEST_F(KxInFileStreamTest, SeekMovesFromEachOriginAndRefusesOthers) {
  const INT64 size = static_cast<INT64>(content_.size());
  struct Case {
    INT64 offset;
    UINT32 origin;
    HRESULT result;
    UINT64 position;
  };
  const Case cases[] = {
      {10, FILE_BEGIN, S_OK, 10},
      {5, FILE_CURRENT, S_OK, 15},
      {-3, FILE_END, S_OK, static_cast<UINT64>(size - 3)},
      {-1, FILE_BEGIN, S_FALSE, 0},
      {0, 3, E_INVALIDARG, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.origin);
    UINT64 position = 0;
    EXPECT_EQ(c.result, stream_->Seek(c.offset, c.origin, &position));
    EXPECT_EQ(c.position, position);
  }
  // The failed and refused moves left the stream where the last good one put it.
  char tail[8] = {};
  UINT32 read = 0;
  EXPECT_EQ(S_OK, stream_->Read(tail, sizeof(tail), &read));
  EXPECT_EQ(std::string(content_.end() - 3, content_.end()), std::string(tail, read));
}

TEST_F(KxInFileStreamTest, SizeAndNameDescribeTheFile) {
  UINT64 size = 0;
  EXPECT_EQ(S_OK, stream_->GetSize(&size));
  EXPECT_EQ(content_.size(), size);
  EXPECT_EQ(E_INVALIDARG, stream_->GetSize(nullptr));

  std::wstring name;
  EXPECT_EQ(S_OK, stream_->GetFileName(&name));
  EXPECT_EQ(path_, name);
}

TEST_F(KxInFileStreamTest, CloneStartsAtTheSamePlaceAndMovesOnItsOwn) {
  char head[7] = {};
  UINT32 read = 0;
  ASSERT_EQ(S_OK, stream_->Read(head, sizeof(head), &read));

  Kx::IInStream* raw = nullptr;
  ASSERT_EQ(S_OK, stream_->Clone(&raw));
  const auto clone = Kx::KxComPtr<Kx::IInStream>::Adopt(raw);
  ASSERT_TRUE(clone);
  EXPECT_NE(static_cast<Kx::IInStream*>(stream_.Get()), clone.Get());

  char fromClone[4] = {};
  ASSERT_EQ(S_OK, clone->Read(fromClone, sizeof(fromClone), &read));
  EXPECT_EQ(content_.substr(7, 4), std::string(fromClone, read));
  char fromOriginal[4] = {};
  ASSERT_EQ(S_OK, stream_->Read(fromOriginal, sizeof(fromOriginal), &read));
  EXPECT_EQ(content_.substr(7, 4), std::string(fromOriginal, read));
  EXPECT_EQ(E_INVALIDARG, stream_->Clone(nullptr));
}

TEST_F(KxInFileStreamTest, TheLastReleaseClosesTheFile) {
  // The stream does not share delete access, so the file cannot go while open.
  EXPECT_FALSE(DeleteFileW(path_.c_str()));
  stream_.Reset();
  EXPECT_TRUE(DeleteFileW(path_.c_str()));
}

TEST(KxInFileStreamOpenTest, AMissingFileGivesNoStream) {
  ScopedTempDir dir;
  EXPECT_FALSE(Kx::KxInFileStream::Open(dir.Join(L"missing.bin")));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
