#include "base/Registry.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/StringUtil.h"
#include "tests/base/ScopedRegistryValue.h"

namespace {

using zelk::test::ScopedRegistryValue;

std::wstring ScratchKey(const wchar_t* name) {
  return Kx::Format(L"Software\\ZelkTests\\%s%lu", name, GetCurrentProcessId());
}

// Removes a scratch key tree under HKEY_CURRENT_USER at the end of a test.
class ScopedUserKeyRemoval {
 public:
  explicit ScopedUserKeyRemoval(std::wstring key) : key_(std::move(key)) {}
  ~ScopedUserKeyRemoval() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

 private:
  std::wstring key_;
};

TEST(ReadRegistryTextTest, ReadsUpTo519BytesAndRefusesLongerValues) {
  const std::wstring key = ScratchKey(L"Text");
  ScopedRegistryValue fits(HKEY_CURRENT_USER, key, L"Fits");
  ScopedRegistryValue tooLong(HKEY_CURRENT_USER, key, L"TooLong");
  ScopedRegistryValue byDefault(HKEY_CURRENT_USER, key, L"");
  const std::wstring text258(258, L'a');  // 518 bytes with its terminator
  const std::wstring text259(259, L'b');  // 520 bytes
  ASSERT_TRUE(fits.SetText(text258));
  ASSERT_TRUE(tooLong.SetText(text259));
  ASSERT_TRUE(byDefault.SetText(L"default value"));

  std::wstring text;
  EXPECT_TRUE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key, L"Fits", text));
  EXPECT_EQ(text258, text);
  EXPECT_FALSE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key, L"TooLong", text));
  EXPECT_EQ(L"", text);
  EXPECT_TRUE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key, L"", text));
  EXPECT_EQ(L"default value", text);
  EXPECT_FALSE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key, L"Missing", text));
  EXPECT_FALSE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key + L"\\Missing", L"Fits", text));
}

TEST(ReadMachineTextTest, ReadsPathFromTheDefaultAndEitherExplicitView) {
  const std::wstring key = Kx::Format(L"SOFTWARE\\ZelkTests\\Machine%lu", GetCurrentProcessId());
  ScopedRegistryValue path64(HKEY_LOCAL_MACHINE, key, L"Path", KEY_WOW64_64KEY);
  ScopedRegistryValue path32(HKEY_LOCAL_MACHINE, key, L"Path", KEY_WOW64_32KEY);
  ASSERT_TRUE(path64.SetText(L"C:\\Program Files\\ZelkSoft\\ZelkPic"));
  ASSERT_TRUE(path32.SetText(L"C:\\Program Files (x86)\\ZelkSoft\\ZelkPic"));

  // A process's default view is the one of its own bitness: a 32-bit
  // program on 64-bit Windows sees the 32-bit one.
  const wchar_t* const ownView = sizeof(void*) == 8 ? L"C:\\Program Files\\ZelkSoft\\ZelkPic"
                                                    : L"C:\\Program Files (x86)\\ZelkSoft\\ZelkPic";
  EXPECT_EQ(ownView, Kx::ReadMachineText(key, L"Path", 0));
  EXPECT_EQ(L"C:\\Program Files\\ZelkSoft\\ZelkPic", Kx::ReadMachineText(key, L"Path", KEY_WOW64_64KEY));
  EXPECT_EQ(L"C:\\Program Files (x86)\\ZelkSoft\\ZelkPic", Kx::ReadMachineText(key, L"Path", KEY_WOW64_32KEY));
  EXPECT_EQ(L"", Kx::ReadMachineText(key, L"Missing", 0));
  EXPECT_EQ(L"", Kx::ReadMachineText(key + L"\\Missing", L"Path", KEY_WOW64_64KEY));
}

TEST(ReadMachineTextTest, ReadsAnyTypeAsTextAndRefusesValuesPast2046Bytes) {
  const std::wstring key = Kx::Format(L"SOFTWARE\\ZelkTests\\MachineLong%lu", GetCurrentProcessId());
  ScopedRegistryValue longest(HKEY_LOCAL_MACHINE, key, L"Longest");
  ScopedRegistryValue tooLong(HKEY_LOCAL_MACHINE, key, L"TooLong");
  ScopedRegistryValue binaryText(HKEY_LOCAL_MACHINE, key, L"Binary");
  ASSERT_TRUE(longest.SetText(std::wstring(1022, L'x')));  // 2046 bytes with its terminator
  ASSERT_TRUE(tooLong.SetText(std::wstring(1023, L'x')));
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  ASSERT_TRUE(binaryText.SetBytes(REG_BINARY, unterminated, sizeof(unterminated)));

  EXPECT_EQ(std::wstring(1022, L'x'), Kx::ReadMachineText(key, L"Longest", 0));
  EXPECT_EQ(L"", Kx::ReadMachineText(key, L"TooLong", 0));
  EXPECT_EQ(L"abc", Kx::ReadMachineText(key, L"Binary", 0));
}

TEST(KxRegistryTest, OpenAndQueryReadsStringValuesOfAnyLength) {
  const std::wstring key = Kx::Format(L"SOFTWARE\\ZelkTests\\Query%lu", GetCurrentProcessId());
  // Written in the view the registry object reads: a 32-bit test program's
  // default view would be the other one.
  ScopedRegistryValue longText(HKEY_LOCAL_MACHINE, key, L"Long", KEY_WOW64_64KEY);
  ScopedRegistryValue expandable(HKEY_LOCAL_MACHINE, key, L"Expand", KEY_WOW64_64KEY);
  ScopedRegistryValue number(HKEY_LOCAL_MACHINE, key, L"Number", KEY_WOW64_64KEY);
  const std::wstring text600(600, L'p');  // past the first 512-byte query
  ASSERT_TRUE(longText.SetText(text600));
  ASSERT_TRUE(expandable.SetText(L"%SystemRoot%\\x", REG_EXPAND_SZ));
  ASSERT_TRUE(number.SetDword(42));

  const Kx::KxRegistry registry(KEY_WOW64_64KEY);
  std::wstring text;
  EXPECT_TRUE(registry.OpenAndQuery(key, L"Long", text));
  EXPECT_EQ(text600, text);
  EXPECT_TRUE(registry.OpenAndQuery(key, L"Expand", text));
  EXPECT_EQ(L"%SystemRoot%\\x", text);
  EXPECT_FALSE(registry.OpenAndQuery(key, L"Number", text));
  EXPECT_FALSE(registry.OpenAndQuery(key, L"Missing", text));
}

TEST(KxRegistryTest, ReadsTheSystemsProgramFilesFolder) {
  wchar_t expected[MAX_PATH] = {};
  ASSERT_GT(ExpandEnvironmentStringsW(L"%ProgramFiles%", expected, MAX_PATH), 0u);
  std::wstring text;
  ASSERT_TRUE(Kx::KxRegistry().OpenAndQuery(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir", text));
  EXPECT_TRUE(Kx::EqualsNoCase(expected, text)) << text;
}

TEST(KxRegistryTest, CreateUserKeyHandsOverAWritableKey) {
  const std::wstring key = ScratchKey(L"Created");
  ScopedUserKeyRemoval removal(key);
  Kx::ScopedRegKey taken;
  ASSERT_TRUE(Kx::KxRegistry().CreateUserKey(key + L"\\Inner", &taken));
  ASSERT_TRUE(taken);
  const wchar_t value[] = L"written";
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(taken.Get(), L"Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                          sizeof(value)));
  taken.Reset();

  std::wstring text;
  EXPECT_TRUE(Kx::ReadRegistryText(HKEY_CURRENT_USER, key + L"\\Inner", L"Value", text));
  EXPECT_EQ(L"written", text);
  // Without a taker the key is made and closed.
  EXPECT_TRUE(Kx::KxRegistry().CreateUserKey(key + L"\\Second"));
  HKEY check = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, (key + L"\\Second").c_str(), 0, KEY_READ, &check));
  if (check) RegCloseKey(check);
}

}  // namespace
