#include "miniui/core/KxMiniUIFontPool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIResourceManager.h"

namespace {

LOGFONTW DescriptionOf(HFONT font) {
  LOGFONTW description{};
  EXPECT_EQ(::GetObjectW(font, sizeof(description), &description), static_cast<int>(sizeof(description)));
  return description;
}

TEST(FontPool, StartsWithTheDefaultFaceHeightAndKeyZeroFont) {
  KxMiniUIFontPool pool;
  std::wstring face;
  int height = 0;
  pool.GetDefaultFont(face, height);
  EXPECT_EQ(face, L"Microsoft YaHei");
  EXPECT_EQ(height, 12);
  EXPECT_EQ(pool.Count(), 1u);
  EXPECT_EQ(DescriptionOf(pool.GetFontByKey(0)).lfHeight, 12);
}

TEST(FontPool, KeysPackItalicUnderlineBoldAndASignedSizeStep) {
  EXPECT_EQ(KxMiniUIFontPool::MakeKey(false, false, true, 0), 0x1);
  EXPECT_EQ(KxMiniUIFontPool::MakeKey(false, true, false, 0), 0x2);
  EXPECT_EQ(KxMiniUIFontPool::MakeKey(true, false, false, 0), 0x4);
  EXPECT_EQ(KxMiniUIFontPool::MakeKey(true, true, true, 2), 0x207);
  EXPECT_EQ(KxMiniUIFontPool::MakeKey(false, false, false, -2), 0xFE00);
}

TEST(FontPool, FontsFollowTheirKeyAndAreKept) {
  KxMiniUIFontPool pool;
  pool.SetDefaultFont(L"Whatever", -12);
  HFONT bold = pool.GetFont(true, false, true, 2);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(pool.GetFont(true, false, true, 2), bold);
  EXPECT_EQ(pool.Count(), 2u);
  const LOGFONTW description = DescriptionOf(bold);
  EXPECT_EQ(description.lfHeight, -14);  // default height minus the size step
  EXPECT_EQ(description.lfWeight, 700);
  EXPECT_TRUE(description.lfItalic);
  EXPECT_FALSE(description.lfUnderline);
  EXPECT_EQ(description.lfQuality, ANTIALIASED_QUALITY);
  std::wstring systemFace;
  ASSERT_TRUE(pool.GetSystemFaceName(systemFace));
  EXPECT_EQ(std::wstring(description.lfFaceName), systemFace);  // not the stored default face
  const LOGFONTW smaller = DescriptionOf(pool.GetFont(false, true, false, -2));
  EXPECT_EQ(smaller.lfHeight, -10);
  EXPECT_EQ(smaller.lfWeight, 400);
  EXPECT_TRUE(smaller.lfUnderline);
}

TEST(FontPool, SettingTheDefaultRebuildsTheKeyZeroFont) {
  KxMiniUIFontPool pool;
  pool.SetDefaultFont(L"Tahoma", -16);
  std::wstring face;
  int height = 0;
  pool.GetDefaultFont(face, height);
  EXPECT_EQ(face, L"Tahoma");
  EXPECT_EQ(height, -16);
  EXPECT_EQ(DescriptionOf(pool.GetFontByKey(0)).lfHeight, -16);
}

int CALLBACK NoteFaceKnown(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM known) {
  *reinterpret_cast<bool*>(known) = true;
  return 0;
}

bool FontEnumerationKnows(const std::wstring& face) {
  HDC screen = ::GetDC(nullptr);
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  bool known = false;
  ::EnumFontFamiliesExW(screen, &query, NoteFaceKnown, reinterpret_cast<LPARAM>(&known), 0);
  ::ReleaseDC(nullptr, screen);
  return known;
}

// "Microsoft YaHei" before "宋体", and the default GUI font's face when the
// system knows neither. The test programs also run in a prefix without
// fonts (ctest: miniui_core_tests_plain_desktop), where the last applies.
TEST(FontPool, TheSystemFaceIsTheFirstPreferredFaceTheSystemKnows) {
  std::wstring expected;
  for (const std::wstring preferred : {L"Microsoft YaHei", L"\x5B8B\x4F53"}) {
    if (FontEnumerationKnows(preferred)) {
      expected = preferred;
      break;
    }
  }
  if (expected.empty()) {
    LOGFONTW gui{};
    ASSERT_NE(0, ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui));
    expected = gui.lfFaceName;
  }
  std::printf("system face expected: %ls\n", expected.c_str());
  KxMiniUIFontPool pool;
  std::wstring face;
  ASSERT_TRUE(pool.GetSystemFaceName(face));
  EXPECT_EQ(expected, face);
  EXPECT_EQ(face, std::wstring(DescriptionOf(pool.GetFontByKey(0)).lfFaceName));
}

TEST(FontPool, TopGapsAreCachedPerFace) {
  KxMiniUIFontPool pool;
  float gap = -1.0f;
  EXPECT_FALSE(pool.GetFaceTopGap(L"Tahoma", gap));
  pool.SetFaceTopGap(L"Tahoma", 0.125f);
  ASSERT_TRUE(pool.GetFaceTopGap(L"Tahoma", gap));
  EXPECT_FLOAT_EQ(gap, 0.125f);
  EXPECT_FALSE(pool.GetFaceTopGap(L"tahoma", gap));
}

TEST(ResourceManager, CreatingItAgainKeepsTheOneThereIs) {
  KxMiniUIResourceManager* first = KxMiniUIResourceManager::Instance();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(KxMiniUIResourceManager::Create(), first);
  ASSERT_TRUE(first->GetStringPool()->Load(102));
  ASSERT_NE(first->GetPngPool()->Get(202), nullptr);
  first->ClearCaches();
  EXPECT_EQ(first->GetStringPool()->Count(), 0u);
  EXPECT_EQ(first->GetPngPool()->Count(), 0u);
  EXPECT_NE(first->GetFontPool(), nullptr);
  EXPECT_NE(first->GetExtraCache(), nullptr);
}

TEST(ResourceManager, TheExtraCacheKeepsBitmapsByKey) {
  KxMiniUIExtraCache* cache = KxMiniUIResourceManager::Instance()->GetExtraCache();
  std::shared_ptr<KxMiniUIBitmap> bitmap = KxMiniUIResourceManager::Instance()->GetPngPool()->CreateBitmap();
  ASSERT_NE(bitmap, nullptr);
  cache->Put(L"made", bitmap);
  EXPECT_EQ(cache->Get(L"made"), bitmap);
  EXPECT_EQ(cache->Get(L"other"), nullptr);
  cache->Put(L"made", nullptr);
  EXPECT_EQ(cache->Count(), 0u);
}

TEST(Manner, CreatingItAgainReplacesTheOneThereIs) {
  KxMiniUIManner* first = KxMiniUIManner::Instance();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(first->GetStylePool()->Load(101));
  KxMiniUIManner* second = KxMiniUIManner::Create();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(KxMiniUIManner::Instance(), second);
  EXPECT_EQ(second->GetStylePool()->Count(), 0u);  // a fresh manner
}

}  // namespace
