// The libcurl DLL is loaded only after the program's trust check passed,
// and the file checked is held so it cannot be swapped before it loads.
#include "download/CurlLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FileChangeAttempt.h"
#include "tests/support/TestSupport.h"

namespace {

// What the check saw while it ran: the path it was asked about and what
// another program could do to that file at that moment.
struct CheckVisit {
  std::wstring path;
  zelk::test::FileChangeAttempt change;
};

std::vector<CheckVisit> g_visits;
bool g_answer = false;

bool RecordingTrust(const std::wstring& path) {
  CheckVisit visit;
  visit.path = path;
  visit.change = zelk::test::TryToChangeFile(path, path);
  g_visits.push_back(visit);
  return g_answer;
}

class CurlLibraryTrustTest : public ::testing::Test {
 protected:
  void TearDown() override { Kx::CurlLibrary::SetModuleTrust(nullptr); }
};

TEST_F(CurlLibraryTrustTest, LoadsOnlyWhatTheCheckPassedWhileTheFileIsHeld) {
  struct Case {
    bool trusted;
    bool loaded;
  };
  const Case cases[] = {{false, false}, {true, true}};
  for (const Case& c : cases) {
    g_visits.clear();
    g_answer = c.trusted;
    Kx::CurlLibrary::SetModuleTrust(&RecordingTrust);
    EXPECT_TRUE(g_visits.empty()) << "setting the rules loads nothing";

    EXPECT_EQ(c.loaded, Kx::CurlLibrary::Instance().IsLoaded()) << "trusted " << c.trusted;
    ASSERT_EQ(1u, g_visits.size()) << "trusted " << c.trusted;
    EXPECT_EQ(zelk::test::BinDir() + L"\\libcurl_x86.dll", g_visits[0].path);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), g_visits[0].change.writeError);
    EXPECT_FALSE(g_visits[0].change.renamed);
  }

  // A refused library counts as absent: easy handles cannot be made.
  g_answer = false;
  Kx::CurlLibrary::SetModuleTrust(&RecordingTrust);
  EXPECT_EQ(nullptr, Kx::CurlLibrary::Instance().EasyInit());
}

}  // namespace
