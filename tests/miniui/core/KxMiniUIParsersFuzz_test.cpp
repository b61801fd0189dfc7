// Randomized attribute text and layout documents through the framework's
// readers: no crash, no hang, and every result well-formed. Seed and count:
// tests/support/FuzzInput.h.
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUILayoutDocument.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIViewLayout.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

std::string Dump(const std::string& text) {
  std::string out;
  char unit[8];
  for (const char c : text) {
    std::snprintf(unit, sizeof(unit), "%02X ", static_cast<unsigned char>(c));
    out += unit;
  }
  return out;
}

const std::vector<std::string>& ValueFragments() {
  static const std::vector<std::string> fragments = {
      "0", "1", "7", "08", "0x", "0X1f", "10", "-", "+", "#", "|", "%", ",", " ", "  ", "\t", "true", "full",
      "2147483647", "2147483648", "-2147483649", "99999999999999999999", "ff", "FF", "a0", "Zz", "12px",
      "AbCdEf", "00000000", "g", "\xE4\xB8\xAD", "\xFF", ".", "e5", "16777217", "0x7fffffff"};
  return fragments;
}

std::string ValueText(FuzzInput& input) {
  std::string text = input.Chance(20) ? input.Bytes(24) : input.Join(ValueFragments(), 10);
  // The readers take C strings: what follows a zero is never seen.
  return text.substr(0, text.find('\0'));
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

TEST(KxMiniUIParsersFuzz, NumbersReadLikeStrtolWithAutomaticBase) {
  FuzzInput input("KxMiniUIParsersFuzz.Numbers");
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::string text = ValueText(input);
    ASSERT_EQ(std::strtol(text.c_str(), nullptr, 0), KxMiniUIValue::Number(text.c_str())) << Dump(text);
    ASSERT_EQ(KxMiniUIValue::Number(text.c_str()) != 0, KxMiniUIValue::Boolean(text.c_str())) << Dump(text);
  }
}

TEST(KxMiniUIParsersFuzz, ColoursAreSixOrEightHexDigitsOrBlack) {
  FuzzInput input("KxMiniUIParsersFuzz.Colours");
  const std::vector<std::string> hex = {"0", "9", "a", "F", "c3", "7f", "00", "ff", "g", " ", "#", "-", "\xC3"};
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    std::string text = input.Chance(50) ? input.Join(hex, 10) : ValueText(input);
    text.resize(std::char_traits<char>::length(text.c_str()));  // what the C string shows
    const bool allowAlpha = input.Chance(50);
    const KxMiniUIValue::Color color = KxMiniUIValue::ParseColor(text.c_str(), allowAlpha);
    bool allHex = text.size() >= 6;
    for (const char c : text) allHex = allHex && HexValue(c) >= 0;
    if (!allHex) {
      ASSERT_EQ(0u, color.rgb) << Dump(text);
      ASSERT_EQ(255, color.alpha) << Dump(text);
      continue;
    }
    const auto byteAt = [&](size_t at) { return HexValue(text[at]) * 16 + HexValue(text[at + 1]); };
    ASSERT_EQ(static_cast<COLORREF>(byteAt(0) | (byteAt(2) << 8) | (byteAt(4) << 16)), color.rgb) << Dump(text);
    ASSERT_EQ(allowAlpha && text.size() >= 8 ? byteAt(6) : 255, color.alpha) << Dump(text);
  }
}

bool WithinLimit(const RECT& rect) {
  const LONG limit = KxMiniUIViewLayout::kCoordinateLimit;
  for (const LONG edge : {rect.left, rect.top, rect.right, rect.bottom}) {
    if (edge < -limit || edge > limit) return false;
  }
  return true;
}

TEST(KxMiniUIParsersFuzz, APositionHasTwoOrFourCoordinatesOrNone) {
  FuzzInput input("KxMiniUIParsersFuzz.Pos");
  const RECT sibling{3, 4, 50, 60};
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::string text = ValueText(input);
    KxMiniUIViewLayout layout;
    const bool ok = layout.ParsePos(text.c_str());
    ASSERT_EQ(ok, layout.Count() == 2 || layout.Count() == 4) << Dump(text);
    if (!ok) {
      ASSERT_EQ(0, layout.Count()) << Dump(text);
    }
    for (int entry = 0; entry < layout.Count(); ++entry) {
      const KxMiniUIViewLayout::Coordinate& c = layout.Entry(entry);
      ASSERT_FALSE(c.fromCentre && c.percent) << Dump(text);
    }
    // Placing it answers a rectangle within the coordinate limit for any
    // parent, with or without a sibling.
    const RECT placed =
        layout.Place(SIZE{static_cast<LONG>(input.Below(2000)), static_cast<LONG>(input.Below(2000))},
                     input.Chance(50) ? &sibling : nullptr, SIZE{10, 10});
    ASSERT_TRUE(WithinLimit(placed)) << Dump(text);
  }
}

class LayoutDocumentFuzz : public CoreResourcesTest {
 protected:
  static std::vector<std::string> RealLayouts() {
    std::vector<std::string> layouts;
    for (int id = 501; id <= 507; ++id) {
      std::string text;
      const std::wstring path = TestsSourceDir() + L"\\..\\resources\\xml\\layout_" + std::to_wstring(id) + L".xml";
      if (ReadFileBytes(path, text)) layouts.push_back(text);
    }
    return layouts;
  }

  // Either bytes edited anywhere, or attribute values swapped for random
  // value text, which keeps the document well-formed more often, or an
  // include of one of this program's layout pieces (122 includes itself,
  // 123 and 124 include each other).
  static std::string Mutated(FuzzInput& input, const std::string& layout) {
    if (input.Chance(40)) return input.Mutate(layout, 8);
    if (input.Chance(20)) {
      static const std::vector<std::string> pieces = {"120", "122", "123", "124"};
      std::string text = layout;
      const size_t body = text.find("<body>");
      if (body != std::string::npos) {
        text.insert(body + 6, "<dlgfile pos=\"0,0,-0,-0\" src=\"" + input.Pick(pieces) + "\" />");
      }
      return text;
    }
    std::string text = layout;
    for (size_t n = input.Below(6) + 1; n > 0; --n) {
      const size_t quote = text.find("=\"", input.Below(text.size()));
      if (quote == std::string::npos) continue;
      const size_t end = text.find('"', quote + 2);
      if (end == std::string::npos) continue;
      std::string value = ValueText(input);
      for (char& c : value) {
        if (c == '"' || c == '<' || c == '&') c = ' ';
      }
      text.replace(quote + 2, end - quote - 2, value);
    }
    return text;
  }

  // Every view of the tree, counted; a cycle would never end. Every view
  // lies within the coordinate limit.
  static size_t CountViews(const KxMiniUIView* view, size_t depth) {
    EXPECT_LT(depth, 1000u);
    if (depth >= 1000) return 0;
    // The root's size is the window's, which the caller chooses.
    if (depth > 0) {
      EXPECT_TRUE(WithinLimit(view->GetRect()));
    }
    size_t count = 1;
    for (size_t i = 0; i < view->GetChildCount(); ++i) count += CountViews(view->GetChildAt(i), depth + 1);
    return count;
  }
};

TEST_F(LayoutDocumentFuzz, MutatedLayoutsLoadIntoATreeOrLeaveTheDocumentEmpty) {
  FuzzInput input("LayoutDocumentFuzz.MutatedLayouts");
  const std::vector<std::string> layouts = RealLayouts();
  ASSERT_EQ(7u, layouts.size()) << "resources/xml/layout_501.xml .. layout_507.xml";
  unsigned loaded = 0;
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::string text = Mutated(input, input.Pick(layouts));
    KxMiniUILayoutDocument document;
    if (!document.Parse(text)) {
      ASSERT_EQ(0u, document.ViewCount()) << Dump(text);
      continue;
    }
    ++loaded;
    const size_t parts = document.ViewCount();
    ASSERT_LE(parts, 3u) << "header, body and footer at most";
    KxMiniUIRootView root;
    document.ApplyTo(root);
    ASSERT_EQ(0u, document.ViewCount());
    ASSERT_EQ(parts, root.GetChildCount());
    const KxMiniUIWindowDescription& window = document.Description();
    root.LayoutAt(window.width, window.height);
    ASSERT_GE(CountViews(&root, 0), 1 + parts);
  }
  // Most mutations keep a loadable document, so the tree code was reached.
  EXPECT_GT(loaded, FuzzInput::Count() / 4);
}

}  // namespace
}  // namespace zelk::test
