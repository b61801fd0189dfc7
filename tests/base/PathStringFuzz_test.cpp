// Randomized text through the string, path and version readers: no crash,
// no hang, and every result well-formed. Seed and count:
// tests/support/FuzzInput.h.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/FileVersion.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::FuzzInput;

std::string Dump(const std::wstring& text) {
  std::string out;
  char unit[8];
  for (const wchar_t c : text) {
    std::snprintf(unit, sizeof(unit), "%X ", static_cast<unsigned>(c));
    out += unit;
  }
  return out;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

const std::vector<std::wstring>& PathFragments() {
  static const std::vector<std::wstring> fragments = {
      L"C:", L"c:", L"Z:", L"Q:", L"\\", L"/", L"\\\\", L"\\\\?\\", L"UNC\\", L"server", L"share", L"windows",
      L"system32", L"notepad.exe", L"Program Files", L"ZelkPic", L"..", L".", L" ", L"\"", L"'", L"*", L"?",
      L":", L"<", L">", L"|", L"\x01", L"\x1F", L"a", L"\x4E2D\x6587", L"\xD800",
      std::wstring(100, L'x'), std::wstring(40, L'\\')};
  return fragments;
}

std::wstring PathText(FuzzInput& input) {
  return input.Chance(20) ? input.WideChars(300) : input.Join(PathFragments(), 16);
}

TEST(PathStringFuzz, SplitDropsOnlySeparatorsAndEmptyInnerPieces) {
  FuzzInput input("PathStringFuzz.Split");
  const std::vector<std::wstring> separatorSets = {L"_", L"\\/", L".", L" \t", L"", L"\xD800\x4E2D"};
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring separators = input.Chance(20) ? input.WideChars(4) : input.Pick(separatorSets);
    std::wstring text = input.Join(std::vector<std::wstring>{L"a", L"bc", L"_", L"\\", L"/", L".", L" ", L"\t",
                                                             L"\x4E2D", L"\xD800", std::wstring(1, L'\0')},
                                   30);
    const std::vector<std::wstring> pieces = Kx::Split(text, separators);
    ASSERT_FALSE(pieces.empty());
    std::wstring joined;
    for (size_t p = 0; p < pieces.size(); ++p) {
      if (p + 1 < pieces.size()) {
        ASSERT_FALSE(pieces[p].empty()) << Dump(text);
      }
      ASSERT_EQ(std::wstring::npos, pieces[p].find_first_of(separators)) << Dump(text);
      joined += pieces[p];
    }
    std::wstring kept;
    for (const wchar_t c : text) {
      if (separators.find(c) == std::wstring::npos) kept += c;
    }
    ASSERT_EQ(kept, joined) << Dump(text);
  }
}

TEST(PathStringFuzz, JoinPathPutsOneBackslashBetweenTheParts) {
  FuzzInput input("PathStringFuzz.JoinPath");
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring base = PathText(input);
    const std::wstring relative = PathText(input);
    const std::wstring joined = Kx::JoinPath(base, relative);
    const std::wstring tail = Kx::NormalisePath(relative, Kx::kPathUnquote);
    const bool absolute = (tail.size() > 1 && tail[0] == L'\\' && tail[1] == L'\\') ||
                          (tail.size() > 2 && tail[1] == L':' && IsSeparator(tail[2]));
    if (absolute) {
      ASSERT_EQ(tail, joined) << Dump(base) << "| " << Dump(relative);
      continue;
    }
    const std::wstring head = Kx::NormalisePath(base, Kx::kPathUnquote | Kx::kPathNoTrailingSeparator);
    const std::wstring rest = Kx::TrimLeft(tail, L"\\/");
    ASSERT_GE(joined.size(), rest.size());
    ASSERT_EQ(rest, joined.substr(joined.size() - rest.size())) << Dump(base) << "| " << Dump(relative);
    if (head.empty()) {
      ASSERT_EQ(rest, joined) << Dump(base) << "| " << Dump(relative);
    } else {
      ASSERT_EQ(head + L"\\", joined.substr(0, head.size() + 1)) << Dump(base) << "| " << Dump(relative);
      ASSERT_EQ(head.size() + 1 + rest.size(), joined.size()) << Dump(base) << "| " << Dump(relative);
    }
  }
}

TEST(PathStringFuzz, NormalisePathDoesWhatEachFlagSays) {
  FuzzInput input("PathStringFuzz.NormalisePath");
  const std::vector<unsigned> flagBits = {Kx::kPathLower, Kx::kPathUpper, Kx::kPathUnquote,
                                          Kx::kPathOneTrailingBackslash, Kx::kPathNoTrailingSeparator,
                                          Kx::kPathBackslashes};
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    unsigned flags = 0;
    for (const unsigned bit : flagBits) flags |= input.Chance(40) ? bit : 0;
    const std::wstring path = PathText(input);
    const std::wstring result = Kx::NormalisePath(path, flags);
    ASSERT_LE(result.size(), path.size() + 1) << Dump(path);
    if (flags & Kx::kPathBackslashes) {
      ASSERT_EQ(std::wstring::npos, result.find(L'/')) << Dump(path);
    }
    if (!result.empty() && (flags & Kx::kPathNoTrailingSeparator)) {
      ASSERT_FALSE(IsSeparator(result.back()));
    }
    if (!result.empty() && (flags & Kx::kPathOneTrailingBackslash) && !(flags & Kx::kPathNoTrailingSeparator)) {
      ASSERT_EQ(L'\\', result.back()) << Dump(path);
      ASSERT_TRUE(result.size() == 1 || !IsSeparator(result[result.size() - 2])) << Dump(path);
    }
    // Without case mapping or unquoting (which strips one more pair each
    // time) a second pass changes nothing.
    const unsigned stable = flags & ~(Kx::kPathLower | Kx::kPathUpper | Kx::kPathUnquote);
    if (stable == flags) {
      ASSERT_EQ(result, Kx::NormalisePath(result, flags)) << Dump(path);
    }
  }
}

TEST(PathStringFuzz, AValidTargetFolderIsShortRootedAndFreeOfForbiddenCharacters) {
  FuzzInput input("PathStringFuzz.IsValidTargetFolder");
  // A real file in the way makes every path through it invalid.
  zelk::test::ScopedTempDir dir;
  ASSERT_TRUE(zelk::test::WriteFileBytes(dir.Join(L"file"), "x"));
  const std::vector<std::wstring> prefixes = {L"", L"C:\\", dir.Path() + L"\\", dir.Join(L"file") + L"\\",
                                              L"\\\\?\\C:\\"};
  unsigned valid = 0;
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring path = input.Pick(prefixes) + PathText(input);
    if (!Kx::IsValidTargetFolder(path)) continue;
    ++valid;
    ASSERT_LE(path.size(), static_cast<size_t>(MAX_PATH)) << Dump(path);
    ASSERT_EQ(std::wstring::npos, path.find(dir.Join(L"file") + L"\\")) << Dump(path);
    const bool drive = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    const bool extendedOrUnc = path.compare(0, 2, L"\\\\") == 0;
    ASSERT_TRUE(drive || extendedOrUnc) << Dump(path);
    if (drive) {
      for (size_t c = 3; c < path.size(); ++c) {
        ASSERT_TRUE(path[c] >= 32 && std::wstring(L"*?|<>\":").find(path[c]) == std::wstring::npos) << Dump(path);
      }
    }
  }
  EXPECT_GT(valid, 0u) << "some inputs name a valid folder, so the checks above ran";
}

TEST(PathStringFuzz, VersionTextNeedsThreeDotsAndReadsBackItsOwnForm) {
  FuzzInput input("PathStringFuzz.ParseVersionText");
  const std::vector<std::wstring> fragments = {L"1", L"0", L"10", L"65535", L"99999999999", L"-3", L"+4", L" ",
                                               L".", L".", L"..", L"x", L"\x4E2D", L"\t", L"0x10"};
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring text = input.Chance(10) ? input.WideChars(20) : input.Join(fragments, 12);
    int parts[4] = {-7, -7, -7, -7};
    const bool ok = Kx::ParseVersionText(text, parts[0], parts[1], parts[2], parts[3]);
    const size_t dots = static_cast<size_t>(std::count(text.begin(), text.end(), L'.'));
    const bool lastPart = !text.empty() && text.back() != L'.';
    ASSERT_EQ(dots == 3 && lastPart, ok) << Dump(text);
    if (!ok) continue;
    const std::wstring again = std::to_wstring(parts[0]) + L"." + std::to_wstring(parts[1]) + L"." +
                               std::to_wstring(parts[2]) + L"." + std::to_wstring(parts[3]);
    int back[4] = {};
    ASSERT_TRUE(Kx::ParseVersionText(again, back[0], back[1], back[2], back[3])) << Dump(text);
    for (int p = 0; p < 4; ++p) {
      ASSERT_EQ(parts[p], back[p]) << Dump(text);
    }
  }
}

}  // namespace
