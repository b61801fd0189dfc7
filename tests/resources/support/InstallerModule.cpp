#include "tests/resources/support/InstallerModule.h"

#include "tests/support/TestSupport.h"

namespace zelk::test {

std::wstring InstallerPath() { return BinDir() + L"\\" + ZELK_INSTALLER_EXE; }

std::wstring ResourceSourcePath(const std::wstring& relative) {
  return Utf8ToWide(ZELK_RESOURCES_SOURCE_DIR) + L"/" + relative;
}

InstallerImage::InstallerImage()
    : module_(LoadLibraryExW(InstallerPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}

InstallerImage::~InstallerImage() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool InstallerImage::Bytes(const wchar_t* type, UINT id, std::string& bytes) const {
  bytes.clear();
  if (module_ == nullptr) return false;
  HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module_, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return false;
  bytes.assign(static_cast<const char*>(data), SizeofResource(module_, found));
  return true;
}

void InstallerResourcesTest::SetUp() {
  KxMiniUIResourceLoader& loader = *Resources().GetResourceLoader();
  ASSERT_TRUE(loader.UseModule(InstallerPath())) << "cannot load " << WideToUtf8(InstallerPath());
  Resources().ClearCaches();
  Manner().GetSkinPool()->Clear();
  Manner().GetStylePool()->Clear();
}

}  // namespace zelk::test
