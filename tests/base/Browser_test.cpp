#include "base/Browser.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/base/ScopedRegistryValue.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;
using zelk::test::ReadFileBytes;
using zelk::test::ScopedRegistryValue;
using zelk::test::ScopedTempDir;
using zelk::test::Utf8ToWide;
using zelk::test::WriteFileBytes;

constexpr wchar_t kUserChoiceKey[] =
    L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
constexpr wchar_t kUrl[] = L"http://127.0.0.1:9/help";

struct FakeBrowser {
  int kind;
  const wchar_t* key;
  const wchar_t* exe;
};

constexpr FakeBrowser kExplorer = {2, L"SOFTWARE\\ZelkExplorer", L"ZelkExplorer.exe"};
constexpr FakeBrowser kZelkchrome = {3, L"SOFTWARE\\Zelkchrome", L"Zelkchrome.exe"};
constexpr FakeBrowser kBrenvik = {4, L"SOFTWARE\\BrenvikChrome", L"BrenvikChrome.exe"};
constexpr FakeBrowser kAll[] = {kExplorer, kZelkchrome, kBrenvik};

// Ends, by id, every process of this prefix started from `exeName` that
// has not ended by itself within a few seconds.
void EndProcessesNamed(const std::wstring& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, exeName.c_str()) != 0) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
    if (!process) continue;
    if (WaitForSingleObject(process, 5000) == WAIT_TIMEOUT) TerminateProcess(process, 255);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

// The registry the browser choice reads, under the test's control; every
// value goes back to what it was when the test ends.
class BrowserTest : public testing::Test {
 protected:
  void SetUp() override {
    for (auto& path : paths_) path.Remove();
    userChoice_.Remove();
    userHtml_.Remove();
    // The system's handler of http is a recorder too, so that nothing
    // reaches a real browser.
    systemHandler_ = Copy(dir_.Join(L"System"), L"SystemHandler.exe");
    ASSERT_TRUE(httpCommand_.SetText(L"\"" + systemHandler_ + L"\" \"%1\""));
  }

  void TearDown() override {
    for (const auto& browser : kAll) EndProcessesNamed(browser.exe);
    EndProcessesNamed(L"SystemHandler.exe");
  }

  std::wstring Copy(const std::wstring& folder, const std::wstring& exe) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + exe;
    CopyFileW((BinDir() + L"\\base_recorder.exe").c_str(), path.c_str(), FALSE);
    return path;
  }

  ScopedRegistryValue& PathValue(const FakeBrowser& browser) { return paths_[browser.kind - 2]; }

  // A working stand-in browser registered under the browser's key.
  std::wstring Install(const FakeBrowser& browser) {
    const std::wstring folder = dir_.Join(std::wstring(browser.exe) + L".folder");
    const std::wstring exe = Copy(folder, browser.exe);
    EXPECT_TRUE(PathValue(browser).SetText(folder));
    return exe;
  }

  // Registered and present, but not a program: starting it fails.
  void InstallBroken(const FakeBrowser& browser) {
    const std::wstring folder = dir_.Join(std::wstring(browser.exe) + L".broken");
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + L"\\" + browser.exe, "this is not a program\r\n"));
    ASSERT_TRUE(PathValue(browser).SetText(folder));
  }

  // The command line the stand-in at `exe` was started with; "" when it was
  // not started within 20 seconds.
  static std::wstring WaitForCommandLine(const std::wstring& exe) {
    std::string bytes;
    for (int i = 0; i < 400; ++i) {
      if (ReadFileBytes(exe + L".args", bytes)) return Utf8ToWide(bytes);
      Sleep(50);
    }
    return {};
  }

  static bool WasStarted(const std::wstring& exe) {
    return GetFileAttributesW((exe + L".args").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  ScopedTempDir dir_;
  ScopedRegistryValue paths_[3] = {{HKEY_LOCAL_MACHINE, kExplorer.key, L"Path"},
                                   {HKEY_LOCAL_MACHINE, kZelkchrome.key, L"Path"},
                                   {HKEY_LOCAL_MACHINE, kBrenvik.key, L"Path"}};
  ScopedRegistryValue userChoice_{HKEY_CURRENT_USER, kUserChoiceKey, L"Progid"};
  ScopedRegistryValue httpCommand_{HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", L""};
  ScopedRegistryValue userHtml_{HKEY_CURRENT_USER, L"Software\\Classes\\.html", L""};
  std::wstring systemHandler_;
};

TEST_F(BrowserTest, AnotherDefaultWithKind4InstalledOpensKind4) {
  ASSERT_TRUE(userChoice_.SetText(L"SomeOtherBrowserHTML"));
  const std::wstring brenvik = Install(kBrenvik);

  EXPECT_EQ(20, Kx::OpenUrl(kUrl));
  EXPECT_NE(std::wstring::npos, WaitForCommandLine(brenvik).find(L"\"http://127.0.0.1:9/help\""));
  EXPECT_FALSE(WasStarted(systemHandler_));
}

TEST_F(BrowserTest, DefaultKind3WithAllInstalledOpensKind3) {
  ASSERT_TRUE(userChoice_.SetText(L"HTMLZelkCHM"));
  const std::wstring explorer = Install(kExplorer);
  const std::wstring zelkchrome = Install(kZelkchrome);
  const std::wstring brenvik = Install(kBrenvik);

  EXPECT_EQ(3, Kx::OpenUrl(kUrl));
  EXPECT_NE(std::wstring::npos, WaitForCommandLine(zelkchrome).find(L"\"http://127.0.0.1:9/help\""));
  EXPECT_FALSE(WasStarted(brenvik));
  EXPECT_FALSE(WasStarted(explorer));
}

TEST_F(BrowserTest, DefaultKind3ThatFailsToStartFallsToKind4) {
  ASSERT_TRUE(userChoice_.SetText(L"HTMLZelkCHM"));
  const std::wstring explorer = Install(kExplorer);
  InstallBroken(kZelkchrome);
  const std::wstring brenvik = Install(kBrenvik);

  EXPECT_EQ(20, Kx::OpenUrl(kUrl));
  EXPECT_NE(std::wstring::npos, WaitForCommandLine(brenvik).find(L"\"http://127.0.0.1:9/help\""));
  EXPECT_FALSE(WasStarted(explorer));
}

TEST_F(BrowserTest, NoneInstalledGoesToTheSystemHandler) {
  ASSERT_TRUE(userChoice_.SetText(L"HTMLZelkCHM"));
  EXPECT_EQ(16, Kx::OpenUrl(kUrl));
  EXPECT_NE(std::wstring::npos, WaitForCommandLine(systemHandler_).find(L"http://127.0.0.1:9/help"));
}

TEST_F(BrowserTest, AddressesOf4090CharactersOrMoreAreRefused) {
  const std::wstring brenvik = Install(kBrenvik);
  const std::wstring base = L"http://127.0.0.1:9/";
  const std::wstring longest = base + std::wstring(4089 - base.size(), L'a');
  EXPECT_EQ(0, Kx::OpenUrl(longest + L"a"));
  EXPECT_EQ(0, Kx::OpenUrl(longest + L"aaaa"));
  EXPECT_EQ(0, Kx::OpenUrl(L""));
  EXPECT_FALSE(WasStarted(brenvik));

  EXPECT_EQ(20, Kx::OpenUrl(longest));
  EXPECT_NE(std::wstring::npos, WaitForCommandLine(brenvik).find(longest));
}

TEST_F(BrowserTest, AddressWithAQuoteCannotAddBrowserSwitches) {
  const std::wstring brenvik = Install(kBrenvik);
  EXPECT_EQ(0, Kx::OpenUrl(L"http://127.0.0.1:9/\" --evil-switch \""));
  EXPECT_FALSE(WasStarted(brenvik));
  EXPECT_FALSE(WasStarted(systemHandler_));
}

// Addresses other than http and https go nowhere: the system's handler
// would start a program or open a local file for the elevated installer.
TEST_F(BrowserTest, OnlyWebAddressesAreOpened) {
  ScopedRegistryValue httpsCommand(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", L"");
  ASSERT_TRUE(httpsCommand.SetText(L"\"" + systemHandler_ + L"\" \"%1\""));
  const std::wstring planted = Copy(dir_.Join(L"Planted"), L"Planted.exe");
  std::wstring plantedUrl = L"file:///" + planted;
  for (wchar_t& c : plantedUrl) {
    if (c == L'\\') c = L'/';
  }
  struct Case {
    std::wstring url;
    bool opened;
  };
  const Case cases[] = {
      {plantedUrl, false},
      {L"FILE:" + planted, false},
      {planted, false},
      {L"javascript:alert(1)", false},
      {L"127.0.0.1:9/help", false},
      {L"http:", false},
      {L"https://", false},
      {L"HTTPS://127.0.0.1:9/help", true},
      {L"http://127.0.0.1:9/help", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    DeleteFileW((systemHandler_ + L".args").c_str());
    EXPECT_EQ(c.opened ? 16 : 0, Kx::OpenUrl(c.url));
    if (c.opened) {
      EXPECT_NE(std::wstring::npos, WaitForCommandLine(systemHandler_).find(c.url));
      EndProcessesNamed(L"SystemHandler.exe");
    }
  }
  EndProcessesNamed(L"Planted.exe");
  EXPECT_FALSE(WasStarted(planted));
}

TEST_F(BrowserTest, RegisteredFolderWithoutTheProgramIsNotInstalled) {
  ASSERT_TRUE(PathValue(kBrenvik).SetText(dir_.Join(L"empty")));
  const std::wstring explorer = Install(kExplorer);
  std::vector<Kx::BrowserCandidate> candidates;
  Kx::DetectBrowsers(candidates);
  ASSERT_EQ(1u, candidates.size());
  EXPECT_EQ(explorer, candidates[0].path);
  EXPECT_EQ(2, candidates[0].kind);
}

// How the default handler and the installed browsers decide the order.
struct OrderCase {
  const char* name;
  const wchar_t* userChoice;   // null: no UserChoice value
  const wchar_t* httpCommand;  // null: the test's system handler; "" : none
  const wchar_t* userHtml;     // null: no .html value
  unsigned installed;          // bit per kind: 1 << kind
  std::vector<std::pair<int, bool>> expected;  // kind, isDefault
};

class BrowserOrderTest : public BrowserTest, public testing::WithParamInterface<OrderCase> {};

TEST_P(BrowserOrderTest, DetectBrowsersOrdersTheInstalledOnes) {
  const OrderCase& c = GetParam();
  if (c.userChoice) {
    ASSERT_TRUE(userChoice_.SetText(c.userChoice));
  }
  if (c.httpCommand) {
    ASSERT_TRUE(httpCommand_.SetText(c.httpCommand));
  }
  if (c.userHtml) {
    ASSERT_TRUE(userHtml_.SetText(c.userHtml));
  }
  std::wstring paths[5];
  for (const auto& browser : kAll) {
    if (c.installed & (1u << browser.kind)) paths[browser.kind] = Install(browser);
  }

  std::vector<Kx::BrowserCandidate> candidates;
  Kx::DetectBrowsers(candidates);
  std::vector<std::pair<int, bool>> order;
  for (const auto& candidate : candidates) {
    order.emplace_back(candidate.kind, candidate.isDefault);
    EXPECT_EQ(paths[candidate.kind], candidate.path);
  }
  EXPECT_EQ(c.expected, order);
}

constexpr unsigned kAllKinds = (1u << 2) | (1u << 3) | (1u << 4);

INSTANTIATE_TEST_SUITE_P(
    Handlers, BrowserOrderTest,
    testing::Values(
        OrderCase{"Kind2ProgId", L"ZelkExplorerHTML", nullptr, nullptr, kAllKinds, {{2, true}, {4, false}, {3, false}}},
        OrderCase{"Kind3ProgIdOtherCase", L"htmlzelkchm", nullptr, nullptr, kAllKinds,
                  {{3, true}, {4, false}, {2, false}}},
        OrderCase{"Kind4ProgId", L"BrenvikChromeHTML", nullptr, nullptr, kAllKinds,
                  {{4, true}, {2, false}, {3, false}}},
        OrderCase{"OtherProgId", L"OtherHTML", nullptr, nullptr, kAllKinds, {{4, false}, {2, false}, {3, false}}},
        OrderCase{"DefaultNotInstalled", L"HTMLZelkCHM", nullptr, nullptr, (1u << 2) | (1u << 4),
                  {{4, false}, {2, false}}},
        OrderCase{"CommandNamesKind2", nullptr, L"\"C:\\Apps\\zelkexplorer.EXE\" -- \"%1\"", nullptr, kAllKinds,
                  {{2, true}, {4, false}, {3, false}}},
        OrderCase{"HtmlClassNamesKind3", nullptr, L"", L"HTMLZelkCHM", kAllKinds,
                  {{3, true}, {4, false}, {2, false}}},
        OrderCase{"NoHandlerAtAll", nullptr, L"", nullptr, kAllKinds, {{4, false}, {2, false}, {3, false}}},
        OrderCase{"NothingInstalled", L"HTMLZelkCHM", nullptr, nullptr, 0u, {}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

}  // namespace
