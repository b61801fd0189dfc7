#include "miniui/core/KxMiniUIAnimatedSkin.h"

#include "miniui/core/KxMiniUIBitmapGdip.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIValue.h"

KxMiniUIAnimatedSkin::KxMiniUIAnimatedSkin(bool onDemand) : onDemand_(onDemand) {}

KxMiniUIAnimatedSkin::~KxMiniUIAnimatedSkin() = default;

HRESULT KxMiniUIAnimatedSkin::SetAttribute(const char* name, const char* value, bool) {
  KxMiniUIAutoLock guard(Lock());
  if (KxMiniUIText::NamesEqual(name, "src")) {
    source_ = static_cast<UINT>(KxMiniUIValue::Number(value));
  } else if (KxMiniUIText::NamesEqual(name, "DiskCache")) {
    diskCache_ = KxMiniUIValue::Boolean(value);
  } else {
    return kAttrRejected;
  }
  return kAttrTaken;
}

bool KxMiniUIAnimatedSkin::LoadFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(Lock());
  return KxMiniUISkin::LoadFromXml(node) && Decode();
}

bool KxMiniUIAnimatedSkin::RefreshFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(Lock());
  Clear();
  source_ = 0;
  diskCache_ = false;
  return LoadFromXml(node);
}

void KxMiniUIAnimatedSkin::Clear() {
  decoder_.reset();
  delays_.clear();
  frames_.Release();
  decodedFrame_ = static_cast<size_t>(-1);
}

bool KxMiniUIAnimatedSkin::Decode() {
  Clear();
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  std::string bytes;
  if (source_ == 0 || resources == nullptr ||
      !resources->GetResourceLoader()->LoadResource(source_, bytes, ResourceType())) {
    return false;
  }
  std::unique_ptr<KxMiniUIFrameDecoder> decoder = NewDecoder();
  if (!decoder->Open(std::move(bytes))) return false;
  const size_t count = decoder->FrameCount();
  if (!frames_.Allocate(decoder->Width(), decoder->Height(), onDemand_ ? 1 : count, diskCache_)) return false;
  for (size_t i = 0; i < count; ++i) delays_.push_back(decoder->FrameDelay(i));
  if (onDemand_) {
    decoder_ = std::move(decoder);
    return true;
  }
  for (size_t i = 0; i < count; ++i) {
    if (!decoder->DecodeFrame(i, frames_.Frame(i))) {
      Clear();
      return false;
    }
  }
  return true;
}

BYTE* KxMiniUIAnimatedSkin::FramePixels(size_t frame) {
  if (frame >= delays_.size()) return nullptr;
  if (!onDemand_) return frames_.Frame(frame);
  if (decodedFrame_ != frame) {
    decodedFrame_ = static_cast<size_t>(-1);
    if (!decoder_ || !decoder_->DecodeFrame(frame, frames_.Frame(0))) return nullptr;
    decodedFrame_ = frame;
  }
  return frames_.Frame(0);
}

void KxMiniUIAnimatedSkin::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) {
  KxMiniUIAutoLock guard(Lock());
  BYTE* pixels = frame < 0 ? nullptr : FramePixels(static_cast<size_t>(frame));
  if (pixels == nullptr) return;
  KxMiniUIBitmapGdip picture;
  if (!picture.WrapPixels(frames_.Width(), frames_.Height(), frames_.Stride(), pixels)) return;
  canvas.DrawBitmap(rect, &picture, RECT{0, 0, frames_.Width(), frames_.Height()}, 255,
                    KxMiniUIRendTarget::kQualityDefault);
}

SIZE KxMiniUIAnimatedSkin::GetFrameSize() {
  KxMiniUIAutoLock guard(Lock());
  return SIZE{frames_.Width(), frames_.Height()};
}

bool KxMiniUIAnimatedSkin::IsSingleFrame() {
  KxMiniUIAutoLock guard(Lock());
  return delays_.size() <= 1;
}

SIZE KxMiniUIAnimatedSkin::GetSize() { return GetFrameSize(); }

void KxMiniUIAnimatedSkin::Reset() {
  KxMiniUIAutoLock guard(Lock());
  Clear();
}

size_t KxMiniUIAnimatedSkin::FrameCount() {
  KxMiniUIAutoLock guard(Lock());
  return delays_.size();
}

int KxMiniUIAnimatedSkin::FrameDelay(size_t index) {
  KxMiniUIAutoLock guard(Lock());
  return index < delays_.size() ? delays_[index] : 0;
}

std::wstring KxMiniUIAnimatedSkin::CacheFilePath() {
  KxMiniUIAutoLock guard(Lock());
  return frames_.FilePath();
}
