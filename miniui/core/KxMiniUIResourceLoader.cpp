#include "miniui/core/KxMiniUIResourceLoader.h"

#include "base/PathUtil.h"
#include "miniui/core/KxMiniUIValue.h"
#include "verify/KxInFileStream.h"

namespace {

// Reads a whole file; false when it cannot be opened or read to its end.
bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  Kx::KxComPtr<Kx::KxInFileStream> stream = Kx::KxInFileStream::Open(path);
  UINT64 size = 0;
  if (!stream || stream->GetSize(&size) != S_OK || size > 0x7FFFFFFF) return false;
  std::string data(static_cast<size_t>(size), '\0');
  UINT32 read = 0;
  if (size != 0 && (stream->Read(&data[0], static_cast<UINT32>(size), &read) != S_OK || read != size)) return false;
  bytes.swap(data);
  return true;
}

bool ReadModuleResource(HMODULE module, UINT id, const wchar_t* type, std::string& bytes) {
  if (module == nullptr) return false;
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (info == nullptr) return false;
  const DWORD size = ::SizeofResource(module, info);
  HGLOBAL handle = ::LoadResource(module, info);
  const void* data = handle == nullptr ? nullptr : ::LockResource(handle);
  if (data == nullptr || size == 0) return false;
  bytes.assign(static_cast<const char*>(data), size);
  return true;
}

}  // namespace

KxMiniUIResourceLoader::KxMiniUIResourceLoader()
    : applicationInstance_(::GetModuleHandleW(nullptr)) {}

KxMiniUIResourceLoader::~KxMiniUIResourceLoader() = default;

void KxMiniUIResourceLoader::Reset() {
  KxMiniUIAutoLock guard(lock_);
  ResetLocked();
}

void KxMiniUIResourceLoader::ResetLocked() {
  module_.Reset();
  path_.clear();
  resdef_.reset();
  mode_ = kSourceNone;
}

bool KxMiniUIResourceLoader::SelectSource(const std::wstring& path, int kind) {
  switch (kind) {
    case kSourceNone:
      Reset();
      return true;
    case kSourceDirectory:
      return UseDirectory(path);
    case kSourceModule:
      return UseModule(path);
    default:
      return false;
  }
}

int KxMiniUIResourceLoader::GetSourcePath(std::wstring& path) {
  KxMiniUIAutoLock guard(lock_);
  if (mode_ == kSourceDirectory || mode_ == kSourceModule) path = path_;
  return mode_;
}

void KxMiniUIResourceLoader::ResetForward() { Reset(); }

bool KxMiniUIResourceLoader::UseDirectory(const std::wstring& folder) {
  if (folder.empty()) return false;
  std::string text;
  if (!ReadWholeFile(Kx::JoinPath(folder, L"resdef.xml"), text)) return false;
  auto document = KxMiniUIXmlDocument::FromText(text);
  if (!document || document->Root() == nullptr) return false;
  KxMiniUIAutoLock guard(lock_);
  ResetLocked();
  path_ = folder;
  resdef_ = std::move(document);
  mode_ = kSourceDirectory;
  return true;
}

bool KxMiniUIResourceLoader::UseModule(const std::wstring& path) {
  Kx::ScopedModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return false;
  KxMiniUIAutoLock guard(lock_);
  ResetLocked();
  path_ = path;
  module_ = std::move(module);
  mode_ = kSourceModule;
  return true;
}

std::wstring KxMiniUIResourceLoader::DirectoryPathOf(UINT id, const wchar_t* type) const {
  if (!resdef_) return std::wstring();
  const auto* group = KxMiniUIXml::Child(resdef_->Root(), KxMiniUIText::ToUtf8(type).c_str());
  if (group == nullptr) return std::wstring();
  for (auto* item = group->first_node(); item != nullptr; item = item->next_sibling()) {
    if (item->type() != rapidxml::node_element) continue;
    const char* itemId = KxMiniUIXml::Attribute(item, "id");
    if (itemId == nullptr || static_cast<UINT>(KxMiniUIValue::Number(itemId)) != id) continue;
    const char* relative = KxMiniUIXml::Attribute(item, "path");
    if (relative == nullptr || *relative == '\0') return std::wstring();
    return path_ + L"\\" + KxMiniUIText::FromUtf8(relative);
  }
  return std::wstring();
}

bool KxMiniUIResourceLoader::LoadResource(UINT id, std::string& buffer, const wchar_t* type) {
  if (id == 0 || type == nullptr) return false;
  KxMiniUIAutoLock guard(lock_);
  if (mode_ == kSourceDirectory) {
    const std::wstring file = DirectoryPathOf(id, type);
    if (!file.empty() && ReadWholeFile(file, buffer)) return true;
  }
  if (mode_ == kSourceModule && ReadModuleResource(module_.Get(), id, type, buffer)) return true;
  return ReadModuleResource(applicationInstance_, id, type, buffer);
}

bool KxMiniUIResourceLoader::LoadXmlText(UINT id, std::string& text) {
  return LoadResource(id, text, L"xml");
}

HBITMAP KxMiniUIResourceLoader::LoadBitmap(UINT id) {
  if (id == 0) return nullptr;
  KxMiniUIAutoLock guard(lock_);
  if (mode_ == kSourceDirectory) {
    const std::wstring file = DirectoryPathOf(id, L"bmp");
    if (!file.empty()) {
      HANDLE image = ::LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION);
      if (image != nullptr) return static_cast<HBITMAP>(image);
    }
  }
  HMODULE modules[] = {mode_ == kSourceModule ? module_.Get() : nullptr, applicationInstance_};
  for (HMODULE module : modules) {
    if (module == nullptr) continue;
    HANDLE image = ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image != nullptr) return static_cast<HBITMAP>(image);
  }
  return nullptr;
}

void KxMiniUIResourceLoader::SetApplicationInstance(HMODULE module) {
  KxMiniUIAutoLock guard(lock_);
  applicationInstance_ = module;
}

HMODULE KxMiniUIResourceLoader::GetApplicationInstance() {
  KxMiniUIAutoLock guard(lock_);
  return applicationInstance_;
}
