#include "tests/resources/support/InstallerModule.h"

#include <gdiplus.h>

#include <memory>

#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {

namespace {

// GDI+ and the framework's singletons for the whole test program.
class FrameworkEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    factory_ = std::make_unique<KxMiniUIRenderFactoryGdip>();
    KxMiniUIResourceManager::Create()->GetPngPool()->SetRenderFactory(factory_.get());
    KxMiniUIManner::Create();
  }

  void TearDown() override {
    // Everything holding GDI+ objects goes before GDI+ itself.
    KxMiniUIManner::Destroy();
    KxMiniUIResourceManager::Destroy();
    factory_.reset();
    Gdiplus::GdiplusShutdown(token_);
  }

 private:
  ULONG_PTR token_ = 0;
  std::unique_ptr<KxMiniUIRenderFactoryGdip> factory_;
};

::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace

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
