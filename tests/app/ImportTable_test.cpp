// The installer's load-time imports, read from the built exe's own import
// tables. Windows resolves those before the first line of the program runs,
// searching the program's folder first for any DLL that is not a known
// system DLL, so only DLLs that always come from the system folder may be
// imported; everything else is bound at run time by full path.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/StringUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;

// Walks a PE file held in memory: the headers, the section table and the
// names of the import and delay-import descriptors.
class PeImage {
 public:
  explicit PeImage(std::string bytes) : bytes_(std::move(bytes)) {}

  bool Parse() {
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = At<IMAGE_NT_HEADERS32>(dos->e_lfanew);
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return false;
    const size_t sections = dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                            nt->FileHeader.SizeOfOptionalHeader;
    sections_ = At<IMAGE_SECTION_HEADER>(sections);
    sectionCount_ = nt->FileHeader.NumberOfSections;
    if (!sections_ || !At<char>(sections + sectionCount_ * sizeof(IMAGE_SECTION_HEADER) - 1)) return false;

    // The data directories sit at different offsets in PE32 and PE32+.
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
      directories_ = nt->OptionalHeader.DataDirectory;
    } else if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
      const auto* nt64 = At<IMAGE_NT_HEADERS64>(dos->e_lfanew);
      if (!nt64) return false;
      directories_ = nt64->OptionalHeader.DataDirectory;
      is64_ = true;
    } else {
      return false;
    }
    return true;
  }

  bool Is64() const { return is64_; }

  // Lower-case names of every DLL the import table, or the delay-import
  // table, names; false when a descriptor points outside the file.
  bool ImportedDlls(DWORD directory, std::set<std::wstring>& names) const {
    const IMAGE_DATA_DIRECTORY& entry = directories_[directory];
    if (entry.VirtualAddress == 0) return true;
    const bool delayed = directory == IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT;
    const size_t stride = delayed ? sizeof(IMAGE_DELAYLOAD_DESCRIPTOR) : sizeof(IMAGE_IMPORT_DESCRIPTOR);
    for (DWORD rva = entry.VirtualAddress;; rva += static_cast<DWORD>(stride)) {
      DWORD nameRva = 0;
      if (delayed) {
        const auto* d = At<IMAGE_DELAYLOAD_DESCRIPTOR>(OffsetOf(rva));
        if (!d) return false;
        nameRva = d->DllNameRVA;
      } else {
        const auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(OffsetOf(rva));
        if (!d) return false;
        nameRva = d->Name;
      }
      if (nameRva == 0) return true;
      const char* name = At<char>(OffsetOf(nameRva));
      if (!name) return false;
      std::wstring dll = zelk::test::Utf8ToWide(std::string(name, strnlen(name, MAX_PATH)));
      Kx::ToLower(dll);
      names.insert(dll);
    }
  }

 private:
  template <typename T>
  const T* At(size_t offset) const {
    if (offset == kNowhere || offset + sizeof(T) > bytes_.size()) return nullptr;
    return reinterpret_cast<const T*>(bytes_.data() + offset);
  }

  size_t OffsetOf(DWORD rva) const {
    for (WORD i = 0; i < sectionCount_; ++i) {
      const IMAGE_SECTION_HEADER& s = sections_[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    return kNowhere;
  }

  static constexpr size_t kNowhere = ~size_t{0};
  std::string bytes_;
  const IMAGE_SECTION_HEADER* sections_ = nullptr;
  WORD sectionCount_ = 0;
  const IMAGE_DATA_DIRECTORY* directories_ = nullptr;
  bool is64_ = false;
};

TEST(ImportTableTest, InstallerImportsOnlyDllsWindowsTakesFromTheSystemFolder) {
  std::string bytes;
  ASSERT_TRUE(zelk::test::ReadFileBytes(BinDir() + L"\\" + ZELK_INSTALLER_EXE, bytes));
  PeImage image(std::move(bytes));
  ASSERT_TRUE(image.Parse());
  EXPECT_EQ(sizeof(void*) == 8, image.Is64()) << "the exe beside the tests is of the tests' own build";

  const std::set<std::wstring> allowed = {
      L"kernel32.dll", L"user32.dll",   L"gdi32.dll",   L"advapi32.dll", L"shell32.dll",
      L"ole32.dll",    L"oleaut32.dll", L"shlwapi.dll", L"imm32.dll",    L"gdiplus.dll",
      L"msvcrt.dll",   L"comdlg32.dll", L"ws2_32.dll",  L"psapi.dll",
      L"comctl32.dll",  // version 6 through the manifest
  };
  std::set<std::wstring> imported;
  ASSERT_TRUE(image.ImportedDlls(IMAGE_DIRECTORY_ENTRY_IMPORT, imported));
  ASSERT_TRUE(image.ImportedDlls(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT, imported));
  EXPECT_TRUE(imported.count(L"kernel32.dll")) << "the table was read";
  for (const std::wstring& dll : imported) {
    EXPECT_TRUE(allowed.count(dll)) << zelk::test::WideToUtf8(dll) << " is loaded before the program runs";
  }
}

}  // namespace
