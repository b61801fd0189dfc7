#include "miniui/core/KxMiniUIFontPool.h"

#include <cwchar>

namespace {

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

bool SystemKnowsFace(const wchar_t* face) {
  const Kx::ScopedWindowDC screen = Kx::ClientDCOf(nullptr);
  if (!screen) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  ::EnumFontFamiliesExW(screen.Get(), &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

LOGFONTW DefaultGuiFontDescription() {
  LOGFONTW description{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
  return description;
}

}  // namespace

KxMiniUIFontPool::KxMiniUIFontPool() {
  KxMiniUIAutoLock guard(lock_);
  fonts_[0].Reset(CreateKeyedFont(0));
}

KxMiniUIFontPool::~KxMiniUIFontPool() = default;

WORD KxMiniUIFontPool::MakeKey(bool bold, bool underline, bool italic, int sizeStep) {
  return static_cast<WORD>((italic ? kItalic : 0) | (underline ? kUnderline : 0) |
                           (bold ? kBold : 0) | ((sizeStep & 0xFF) << 8));
}

const std::wstring& KxMiniUIFontPool::SystemFaceLocked() {
  if (systemFace_.empty()) {
    static const wchar_t* const kPreferred[] = {L"Microsoft YaHei", L"\x5B8B\x4F53"};
    for (const wchar_t* face : kPreferred) {
      if (SystemKnowsFace(face)) {
        systemFace_ = face;
        break;
      }
    }
    if (systemFace_.empty()) systemFace_ = DefaultGuiFontDescription().lfFaceName;
  }
  return systemFace_;
}

bool KxMiniUIFontPool::GetSystemFaceName(std::wstring& face) {
  KxMiniUIAutoLock guard(lock_);
  face = SystemFaceLocked();
  return !face.empty();
}

HFONT KxMiniUIFontPool::CreateKeyedFont(WORD key) {
  LOGFONTW description = DefaultGuiFontDescription();
  const int sizeStep = static_cast<signed char>(key >> 8);
  description.lfHeight = defaultHeight_ - sizeStep;
  description.lfWeight = (key & kBold) ? FW_BOLD : FW_NORMAL;
  description.lfItalic = (key & kItalic) ? TRUE : FALSE;
  description.lfUnderline = (key & kUnderline) ? TRUE : FALSE;
  description.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring& face = SystemFaceLocked();
  wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  description.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return ::CreateFontIndirectW(&description);
}

HFONT KxMiniUIFontPool::GetFont(bool bold, bool underline, bool italic, int sizeStep) {
  return GetFontByKey(MakeKey(bold, underline, italic, sizeStep));
}

HFONT KxMiniUIFontPool::GetFontByKey(WORD key) {
  KxMiniUIAutoLock guard(lock_);
  Kx::ScopedGdiObject<HFONT>& font = fonts_[key];
  if (!font) font.Reset(CreateKeyedFont(key));
  return font.Get();
}

void KxMiniUIFontPool::SetDefaultFont(const std::wstring& face, int height) {
  KxMiniUIAutoLock guard(lock_);
  defaultFace_ = face;
  defaultHeight_ = height;
  fonts_[0].Reset(CreateKeyedFont(0));
}

void KxMiniUIFontPool::GetDefaultFont(std::wstring& face, int& height) {
  KxMiniUIAutoLock guard(lock_);
  face = defaultFace_;
  height = defaultHeight_;
}

size_t KxMiniUIFontPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return fonts_.size();
}

bool KxMiniUIFontPool::GetFaceTopGap(const std::wstring& face, float& gap) {
  KxMiniUIAutoLock guard(lock_);
  auto found = topGaps_.find(face);
  if (found == topGaps_.end()) return false;
  gap = found->second;
  return true;
}

void KxMiniUIFontPool::SetFaceTopGap(const std::wstring& face, float gap) {
  KxMiniUIAutoLock guard(lock_);
  topGaps_[face] = gap;
}
