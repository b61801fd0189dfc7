// The installer executable carries its windows' resources under the types
// and numbers the framework and the window code look them up by, byte for
// byte the files of the source tree, plus the icon, the boxes' empty dialog
// template and the tray menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/resources/support/InstallerModule.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

struct EmbeddedFile {
  const wchar_t* type;
  UINT id;
  const wchar_t* source;  // under resources/
};

const EmbeddedFile kEmbeddedFiles[] = {
    {L"XML", 100, L"xml/skins.xml"},
    {L"XML", 101, L"xml/styles.xml"},
    {L"XML", 102, L"xml/strings.xml"},
    {L"XML", 501, L"xml/layout_501.xml"},
    {L"XML", 502, L"xml/layout_502.xml"},
    {L"XML", 503, L"xml/layout_503.xml"},
    {L"XML", 504, L"xml/layout_504.xml"},
    {L"XML", 505, L"xml/layout_505.xml"},
    {L"XML", 506, L"xml/layout_506.xml"},
    {L"XML", 507, L"xml/layout_507.xml"},
    {L"PNG", 5002, L"pictures/5002_btn_min.png"},
    {L"PNG", 5003, L"pictures/5003_btn_close.png"},
    {L"PNG", 5004, L"pictures/5004_shadow_main.png"},
    {L"PNG", 5009, L"pictures/5009_btn_ok.png"},
    {L"PNG", 5010, L"pictures/5010_btn_cancel.png"},
    {L"PNG", 5011, L"pictures/5011_checkbox_checked.png"},
    {L"PNG", 5012, L"pictures/5012_checkbox_unchecked.png"},
    {L"PNG", 5013, L"pictures/5013_processbg.png"},
    {L"PNG", 5014, L"pictures/5014_process.png"},
    {L"PNG", 5020, L"pictures/5020_main_bg_pdf.png"},
    {L"PNG", 5022, L"pictures/5022_portrait_logo_name_pdf.png"},
    {L"PNG", 5024, L"pictures/5024_main_bg_custom_pdf.png"},
    {L"PNG", 5025, L"pictures/5025_logo_pdf.png"},
    {L"PNG", 5030, L"pictures/5030_btn_setup.png"},
    {L"PNG", 5031, L"pictures/5031_btn_browser.png"},
    {L"PNG", 5032, L"pictures/5032_edit_bg.png"},
    {L"PNG", 5040, L"pictures/5040_uninstall_ico_ok.png"},
    {L"PNG", 5050, L"pictures/5050_shadow_box.png"},
    {L"PNG", 5051, L"pictures/5051_msg_ico_warning.png"},
};

class InstallerResourceTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(image_.Module(), nullptr) << "cannot load " << WideToUtf8(InstallerPath()); }

  InstallerImage image_;
};

TEST_F(InstallerResourceTableTest, EveryDocumentAndPictureIsEmbeddedAsItsSourceFile) {
  for (const EmbeddedFile& file : kEmbeddedFiles) {
    SCOPED_TRACE(WideToUtf8(file.source));
    std::string embedded, source;
    ASSERT_TRUE(image_.Bytes(file.type, file.id, embedded));
    ASSERT_TRUE(ReadFileBytes(ResourceSourcePath(file.source), source));
    EXPECT_FALSE(embedded.empty());
    EXPECT_TRUE(embedded == source) << embedded.size() << " bytes embedded, " << source.size() << " in the file";
  }
}

TEST_F(InstallerResourceTableTest, TypeNamesAreFoundInAnyCase) {
  // The framework asks for "xml" and "png"; the executable declares "XML" and "PNG".
  std::string bytes;
  EXPECT_TRUE(image_.Bytes(L"xml", 502, bytes));
  EXPECT_TRUE(image_.Bytes(L"png", 5004, bytes));
  EXPECT_FALSE(image_.Bytes(L"PNG", 502, bytes));  // numbers are per type
}

TEST_F(InstallerResourceTableTest, WindowIconComesInTheSizesWindowsAsksFor) {
  for (int size : {16, 32, 48}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(image_.Module(), MAKEINTRESOURCEW(kWindowIcon), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    ASSERT_NE(info.hbmColor, nullptr);
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof(colour), &colour), 0);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// Reads the fields of an extended dialog template (DLGTEMPLATEEX).
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}

  WORD Word() {
    WORD value = 0;
    if (offset_ + sizeof(value) <= bytes_.size()) std::memcpy(&value, bytes_.data() + offset_, sizeof(value));
    offset_ += sizeof(value);
    return value;
  }
  DWORD Dword() {
    const WORD low = Word();
    return MAKELONG(low, Word());
  }
  BYTE Byte() {
    const BYTE value = offset_ < bytes_.size() ? static_cast<BYTE>(bytes_[offset_]) : 0;
    ++offset_;
    return value;
  }
  // A zero-terminated UTF-16 text, or an ordinal (0xFFFF and a number) read as "#number".
  std::wstring NameOrOrdinal() {
    std::wstring text;
    WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    for (; first != 0 && offset_ <= bytes_.size(); first = Word()) text.push_back(static_cast<wchar_t>(first));
    return text;
  }
  // Only alignment padding (zero bytes) is left.
  bool RestIsPadding() const {
    for (size_t i = offset_; i < bytes_.size(); ++i) {
      if (bytes_[i] != 0) return false;
    }
    return true;
  }

 private:
  const std::string& bytes_;
  size_t offset_ = 0;
};

TEST_F(InstallerResourceTableTest, BoxTemplateIsAnEmptyExtendedPopUpWithANinePointFont) {
  std::string bytes;
  ASSERT_TRUE(image_.Bytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, kBoxTemplate, bytes));
  TemplateReader reader(bytes);
  EXPECT_EQ(reader.Word(), 1);       // dlgVer
  EXPECT_EQ(reader.Word(), 0xFFFF);  // signature of the extended form
  EXPECT_EQ(reader.Dword(), 0u);     // helpID
  EXPECT_EQ(reader.Dword(), 0u);     // exStyle
  EXPECT_EQ(reader.Dword(), static_cast<DWORD>(WS_POPUP | WS_VISIBLE | DS_SETFONT));
  EXPECT_EQ(reader.Word(), 0);  // no controls
  for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<SHORT>(reader.Word()), 0) << "x, y, cx, cy";
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // no menu
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // the system's dialog class
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // no title
  EXPECT_EQ(reader.Word(), 9);             // points
  EXPECT_EQ(reader.Word(), 0);             // weight
  EXPECT_EQ(reader.Byte(), 0);             // italic
  EXPECT_EQ(reader.Byte(), 1);             // character set
  EXPECT_EQ(reader.NameOrOrdinal(), L"宋体");
  EXPECT_TRUE(reader.RestIsPadding());
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(InstallerResourceTableTest, BoxTemplateMakesAZeroSizedVisiblePopUp) {
  std::string bytes;  // heap storage: aligned as a template must be
  ASSERT_TRUE(image_.Bytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, kBoxTemplate, bytes));
  HWND box = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                        nullptr, IgnoreMessages, 0);
  ASSERT_NE(box, nullptr);
  const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
  EXPECT_EQ(style & WS_POPUP, WS_POPUP);
  EXPECT_EQ(style & WS_VISIBLE, WS_VISIBLE);
  EXPECT_EQ(style & WS_CHILD, 0);
  RECT client = {};
  GetClientRect(box, &client);
  EXPECT_EQ(client.right - client.left, 0);
  EXPECT_EQ(client.bottom - client.top, 0);
  EXPECT_EQ(GetWindow(box, GW_CHILD), nullptr);
  DestroyWindow(box);
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

TEST_F(InstallerResourceTableTest, TrayMenuHoldsShowAndExit) {
  HMENU bar = LoadMenuW(image_.Module(), MAKEINTRESOURCEW(kTrayMenu));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuText(bar, 0), L"托盘菜单");
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_EQ(GetMenuItemID(popup, 0), 2306u);
  EXPECT_EQ(MenuText(popup, 0), L"显示");
  EXPECT_EQ(GetMenuItemID(popup, 1), 2307u);
  EXPECT_EQ(MenuText(popup, 1), L"退出");
  DestroyMenu(bar);
}

}  // namespace
}  // namespace zelk::test
