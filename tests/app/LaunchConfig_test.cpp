#include "app/LaunchConfig.h"

#include <gtest/gtest.h>

namespace {

struct SwitchCase {
  const wchar_t* commandLine;
  bool silent;
};

TEST(LaunchConfigTest, SilentSwitchIsSlashOrDashSInAnyCase) {
  const SwitchCase cases[] = {
      {L"/s", true},          {L"/S", true},         {L"-s", true},        {L"-S", true},
      {L"  -S\t", true},      {L"foo\t/s bar", true}, {L"/silent", false},  {L"s", false},
      {L"   ", false},        {L" \t \t", false},     {L"", false},         {L"\"/s\"", false},
      {L"/s/s", false},       {L"x-s", false},
  };
  for (const SwitchCase& c : cases) {
    EXPECT_EQ(c.silent, HasSilentSwitch(c.commandLine)) << "command line [" << c.commandLine << "]";
  }
  EXPECT_FALSE(HasSilentSwitch(nullptr));
}

struct ChannelCase {
  const wchar_t* path;
  const wchar_t* channel;
};

TEST(LaunchConfigTest, ChannelIsSecondPieceOfTheBaseName) {
  const ChannelCase cases[] = {
      {L"C:\\dl\\zelkpdf_1234.exe", L"1234"},
      {L"C:\\dl\\setup.exe", L""},
      {L"C:\\dl\\a_1234.exe", L""},
      {L"C:\\dl\\zelk_pdf_77.exe", L"pdf"},
      {L"Z:/tmp/zelkpdf_1234.exe", L"1234"},
      {L"C:\\d_x\\zelkpdf.exe", L""},          // a "_" in the folder does not count
      {L"C:\\dl\\zelkpdf__99.exe", L"99"},     // empty pieces are dropped
      {L"C:\\dl\\zelkpdf_7.exe", L""},         // second piece too short
      {L"C:\\dl\\zelkpdf_1234.v2.exe", L"1234.v2"},
      {L"C:\\dl\\zelkpdf_.exe", L""},
  };
  for (const ChannelCase& c : cases) {
    EXPECT_EQ(std::wstring(c.channel), ChannelFromProgramPath(c.path)) << c.path;
  }
}

TEST(LaunchConfigTest, DefaultsNameTheProductAndEditor) {
  const LaunchConfig config = MakeLaunchConfig(L"-s");
  EXPECT_TRUE(config.silent);
  EXPECT_EQ(L"ZelkPic", config.productFolder);
  EXPECT_EQ(L"ZelkPdfEditor.exe", config.editorExe);
  // This test program is named app_tests.exe: its channel is "tests".
  EXPECT_EQ(L"tests", config.channel);
}

}  // namespace
