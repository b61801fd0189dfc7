// Shared set-up of the resource tests: the built installer loaded as a data
// file, GDI+ and the process's framework pools reading through a loader that
// has the installer selected as its resource module, so every document and
// picture comes out of the shipped executable.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIResourceManager.h"

namespace zelk::test {

// Resource numbers of the installer's windows.
constexpr UINT kSkinsXml = 100;
constexpr UINT kStyleXml = 101;
constexpr UINT kStringsXml = 102;
constexpr UINT kFragmentXml = 505;
constexpr UINT kWindowIcon = 1001;
constexpr UINT kBoxTemplate = 1001;
constexpr UINT kTrayMenu = 2228;

// The installer executable beside the test program.
std::wstring InstallerPath();

// A file under the source tree's resources/ folder ("xml/skins.xml").
std::wstring ResourceSourcePath(const std::wstring& relative);

// The installer loaded as a data file (no code runs), freed at destruction.
class InstallerImage {
 public:
  InstallerImage();
  ~InstallerImage();
  InstallerImage(const InstallerImage&) = delete;
  InstallerImage& operator=(const InstallerImage&) = delete;

  HMODULE Module() const { return module_; }
  // The bytes of resource (`type`, `id`); false when it is missing.
  bool Bytes(const wchar_t* type, UINT id, std::string& bytes) const;

 private:
  HMODULE module_;
};

// Base fixture: the framework's loader reads the installer's resources, and
// its caches start empty.
class InstallerResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override;

  KxMiniUIResourceManager& Resources() { return *KxMiniUIResourceManager::Instance(); }
  KxMiniUIManner& Manner() { return *KxMiniUIManner::Instance(); }
};

}  // namespace zelk::test
