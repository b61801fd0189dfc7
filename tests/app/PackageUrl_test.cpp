#include "app/PackageUrl.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;

struct ProbeCase {
  const wchar_t* probe;
  std::wstring url;
};

TEST(PackageUrlTest, PrivateBuildIsTrimmedBlankOrDefault) {
  const ProbeCase cases[] = {
      {L"versionprobe_padded.exe", L"http://127.0.0.1:9/tg/zelkpic_KUID_1_v2.exe"},
      {L"versionprobe_blank.exe", L""},
      {L"versionprobe_missing.exe", kDefaultPackageUrl},
      {L"versionprobe_notranslation.exe", kDefaultPackageUrl},
  };
  for (const ProbeCase& c : cases) {
    EXPECT_EQ(c.url, PackageUrlFromFile(BinDir() + L"\\" + c.probe)) << c.probe;
  }
}

TEST(PackageUrlTest, FileWithoutVersionResourceGivesDefault) {
  EXPECT_EQ(kDefaultPackageUrl, PackageUrlFromFile(BinDir() + L"\\no-such-file.exe"));
}

TEST(PackageUrlTest, InstallerCarriesItsAddressInAFixedSlot) {
  const std::wstring installer = BinDir() + L"\\" + ZELK_INSTALLER_EXE;
  EXPECT_EQ(ZELK_TEST_PACKAGE_URL, PackageUrlFromFile(installer));

  // The raw value keeps its padding: 129 characters, so a build can be
  // re-pointed by patching the string in place.
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(installer.c_str(), &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(installer.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\PrivateBuild",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(129u, wcslen(value));

  struct Expected {
    const wchar_t* key;
    const wchar_t* value;
  };
  const Expected others[] = {{L"FileVersion", L"1.0.0.2"},     {L"ProductVersion", L"1.0.0.2"},
                             {L"FileDescription", L"ZelkPDF"}, {L"ProductName", L"ZelkPDF"},
                             {L"OriginalFilename", L"100090"}};
  for (const Expected& e : others) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + e.key;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << e.key;
    EXPECT_STREQ(e.value, value) << e.key;
  }
}

}  // namespace
