#include "miniui/core/KxMiniUIResourceLoader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

std::string DataFile(const std::wstring& name) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\" + name, bytes));
  return bytes;
}

std::wstring ResourceModulePath() { return BinDir() + L"\\miniui_core_resmodule.dll"; }

TEST(ResourceLoader, ReadsTheProgramsOwnResourcesWhateverTheTypeCase) {
  KxMiniUIResourceLoader loader;
  std::string text;
  ASSERT_TRUE(loader.LoadXmlText(kSkinsXml, text));
  EXPECT_EQ(text, DataFile(L"skins.xml"));
  std::string png;
  ASSERT_TRUE(loader.LoadResource(kStripPng, png, L"png"));
  EXPECT_EQ(png, DataFile(L"strip4.png"));
  std::string upper;
  ASSERT_TRUE(loader.LoadResource(kStripPng, upper, L"PNG"));
  EXPECT_EQ(upper, png);
}

TEST(ResourceLoader, IdZeroMissingIdsAndWrongTypesAnswerFalse) {
  KxMiniUIResourceLoader loader;
  std::string bytes = "untouched";
  EXPECT_FALSE(loader.LoadResource(0, bytes, L"xml"));
  EXPECT_FALSE(loader.LoadXmlText(0, bytes));
  EXPECT_FALSE(loader.LoadXmlText(4242, bytes));
  EXPECT_FALSE(loader.LoadResource(kStripPng, bytes, L"xml"));
  EXPECT_FALSE(loader.LoadResource(kStripPng, bytes, nullptr));
  EXPECT_EQ(bytes, "untouched");
}

class DirectorySource : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"resdef.xml"),
                               "<resources>\n"
                               "  <xml>\n"
                               "    <item id=\"100\" path=\"alt_skins.xml\" />\n"
                               "    <item id=\"0x7B\" path=\"sub\\hex.xml\" />\n"
                               "    <item id=\"0\" path=\"zero.xml\" />\n"
                               "    <item id=\"102\" path=\"missing.xml\" />\n"
                               "    <item id=\"100\" path=\"second_entry.xml\" />\n"
                               "  </xml>\n"
                               "  <PNG>\n"
                               "    <item id=\"202\" path=\"\xE5\x9B\xBE\xE7\x89\x87.png\" />\n"
                               "  </PNG>\n"
                               "</resources>\n"));
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"alt_skins.xml"), "<skins />"));
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"second_entry.xml"), "<never />"));
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"zero.xml"), "<zero />"));
    ASSERT_TRUE(::CreateDirectoryW(folder_.Join(L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"sub\\hex.xml"), "<hex />"));
    ASSERT_TRUE(WriteFileBytes(folder_.Join(L"\x56FE\x7247.png"), DataFile(L"tile.png")));
  }

  ScopedTempDir folder_;
};

TEST_F(DirectorySource, TheFirstMatchingItemNamesTheFile) {
  KxMiniUIResourceLoader loader;
  ASSERT_TRUE(loader.UseDirectory(folder_.Path()));
  std::string text;
  ASSERT_TRUE(loader.LoadXmlText(100, text));
  EXPECT_EQ(text, "<skins />");
  ASSERT_TRUE(loader.LoadXmlText(123, text));
  EXPECT_EQ(text, "<hex />");
  std::string png;
  ASSERT_TRUE(loader.LoadResource(kSmallPng, png, L"png"));  // UTF-8 path, type element in any case
  EXPECT_EQ(png, DataFile(L"tile.png"));
}

TEST_F(DirectorySource, WhatTheFolderLacksComesFromTheProgram) {
  KxMiniUIResourceLoader loader;
  ASSERT_TRUE(loader.UseDirectory(folder_.Path()));
  std::string text;
  ASSERT_TRUE(loader.LoadXmlText(kStyleXml, text));  // not listed
  EXPECT_EQ(text, DataFile(L"style.xml"));
  ASSERT_TRUE(loader.LoadXmlText(kStringsXml, text));  // listed, but the file is missing
  EXPECT_EQ(text, DataFile(L"strings.xml"));
}

TEST_F(DirectorySource, IdZeroIsRefusedEvenWhenListed) {
  KxMiniUIResourceLoader loader;
  ASSERT_TRUE(loader.UseDirectory(folder_.Path()));
  std::string text;
  EXPECT_FALSE(loader.LoadXmlText(0, text));
}

TEST_F(DirectorySource, SourcePathAndResetFollowTheMode) {
  KxMiniUIResourceLoader loader;
  std::wstring path = L"unchanged";
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceNone);
  EXPECT_EQ(path, L"unchanged");
  ASSERT_TRUE(loader.SelectSource(folder_.Path(), KxMiniUIResourceLoader::kSourceDirectory));
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceDirectory);
  EXPECT_EQ(path, folder_.Path());
  loader.ResetForward();
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceNone);
  std::string text;
  ASSERT_TRUE(loader.LoadXmlText(100, text));
  EXPECT_EQ(text, DataFile(L"skins.xml"));
}

TEST_F(DirectorySource, AFolderWithoutAReadableDefinitionIsNotSelected) {
  KxMiniUIResourceLoader loader;
  ASSERT_TRUE(loader.UseDirectory(folder_.Path()));
  ScopedTempDir empty;
  EXPECT_FALSE(loader.UseDirectory(empty.Path()));
  EXPECT_FALSE(loader.UseDirectory(L""));
  ScopedTempDir broken;
  ASSERT_TRUE(WriteFileBytes(broken.Join(L"resdef.xml"), "<resources><xml>"));
  EXPECT_FALSE(loader.UseDirectory(broken.Path()));
  // The earlier folder stays selected.
  std::wstring path;
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceDirectory);
  EXPECT_EQ(path, folder_.Path());
}

TEST(ModuleSource, AModuleLoadedAsDataComesBeforeTheProgram) {
  KxMiniUIResourceLoader loader;
  ASSERT_TRUE(loader.SelectSource(ResourceModulePath(), KxMiniUIResourceLoader::kSourceModule));
  std::wstring path;
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceModule);
  EXPECT_EQ(path, ResourceModulePath());
  std::string text;
  ASSERT_TRUE(loader.LoadXmlText(kStringsXml, text));
  EXPECT_NE(text.find("from the module"), std::string::npos);
  std::string png;
  ASSERT_TRUE(loader.LoadResource(kSmallPng, png, L"png"));
  EXPECT_EQ(png, DataFile(L"tile.png"));
  ASSERT_TRUE(loader.LoadXmlText(kSkinsXml, text));  // the module has none
  EXPECT_EQ(text, DataFile(L"skins.xml"));
  loader.Reset();
  ASSERT_TRUE(loader.LoadXmlText(kStringsXml, text));
  EXPECT_EQ(text, DataFile(L"strings.xml"));
}

TEST(ModuleSource, AMissingModuleOrUnknownKindIsRefused) {
  KxMiniUIResourceLoader loader;
  EXPECT_FALSE(loader.UseModule(BinDir() + L"\\no_such_module.dll"));
  EXPECT_FALSE(loader.SelectSource(ResourceModulePath(), 3));
  std::wstring path;
  EXPECT_EQ(loader.GetSourcePath(path), KxMiniUIResourceLoader::kSourceNone);
  EXPECT_TRUE(loader.SelectSource(L"", KxMiniUIResourceLoader::kSourceNone));
}

TEST(ApplicationInstance, TheLastPlaceSearchedCanBeAnotherModule) {
  KxMiniUIResourceLoader loader;
  HMODULE module = ::LoadLibraryExW(ResourceModulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  loader.SetApplicationInstance(module);
  std::string text;
  EXPECT_TRUE(loader.LoadXmlText(kStringsXml, text));
  EXPECT_NE(text.find("from the module"), std::string::npos);
  EXPECT_FALSE(loader.LoadXmlText(kSkinsXml, text));
  loader.SetApplicationInstance(::GetModuleHandleW(nullptr));
  EXPECT_TRUE(loader.LoadXmlText(kSkinsXml, text));
  ::FreeLibrary(module);
}

TEST(GdiBitmaps, BitmapResourcesLoadAsGdiBitmaps) {
  KxMiniUIResourceLoader loader;
  HBITMAP bitmap = loader.LoadBitmap(301);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_EQ(::GetObjectW(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 8);
  EXPECT_EQ(info.bmHeight, 4);
  ::DeleteObject(bitmap);
  EXPECT_EQ(loader.LoadBitmap(0), nullptr);
  EXPECT_EQ(loader.LoadBitmap(302), nullptr);
}

}  // namespace
}  // namespace zelk::test
