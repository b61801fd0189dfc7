#include "miniui/core/KxMiniUISkin.h"

KxMiniUISkin::KxMiniUISkin() = default;
KxMiniUISkin::~KxMiniUISkin() = default;

void KxMiniUISkin::Draw(KxMiniUIRendTarget&, const RECT&, int) {}

SIZE KxMiniUISkin::GetFrameSize() { return SIZE{0, 0}; }

bool KxMiniUISkin::IsSingleFrame() { return true; }

bool KxMiniUISkin::SetBitmap(std::shared_ptr<KxMiniUIBitmap>) { return false; }

bool KxMiniUISkin::SetFromGdiBitmap(HBITMAP) { return false; }

bool KxMiniUISkin::SetFromPngId(UINT) { return false; }

bool KxMiniUISkin::SetFromMemory(const void*, size_t) { return false; }

SIZE KxMiniUISkin::GetSize() { return SIZE{0, 0}; }

void KxMiniUISkin::Reset() {}

bool KxMiniUISkin::RefreshFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(lock_);
  return LoadFromXml(node);
}
void KxMiniUISkin::Prefetch() {}
