#include "miniui/core/KxMiniUIPngSkin.h"

#include <algorithm>
#include <cmath>

#include "miniui/core/KxMiniUIBitmapGdip.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIScaling.h"
#include "miniui/core/KxMiniUIValue.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIPngSkin);

namespace {

KxMiniUIPngPool* PngPool() {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  return resources ? resources->GetPngPool() : nullptr;
}

std::shared_ptr<KxMiniUIBitmap> NewBitmap() {
  KxMiniUIPngPool* pool = PngPool();
  std::shared_ptr<KxMiniUIBitmap> bitmap = pool ? pool->CreateBitmap() : nullptr;
  return bitmap ? bitmap : std::make_shared<KxMiniUIBitmapGdip>();
}

int RoundToInt(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

KxMiniUIPngSkin::KxMiniUIPngSkin() = default;
KxMiniUIPngSkin::~KxMiniUIPngSkin() = default;

HRESULT KxMiniUIPngSkin::SetAttribute(const char* name, const char* value, bool) {
  KxMiniUIAutoLock guard(Lock());
  using KxMiniUIText::NamesEqual;
  if (NamesEqual(name, "src")) {
    source_ = static_cast<UINT>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "subwidth")) {
    subWidth_ = std::max(0, ClampedPixels(KxMiniUIValue::Number(value)));
  } else if (NamesEqual(name, "stretchable")) {
    stretchable_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "cachesubimage")) {
    cacheSubImage_ = KxMiniUIValue::Boolean(value);
  } else {
    return kAttrRejected;
  }
  return kAttrTaken;
}

bool KxMiniUIPngSkin::LoadFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(Lock());
  if (!KxMiniUISkin::LoadFromXml(node) || source_ == 0) return false;
  // Decoded when first needed: a skins document names the pictures of
  // every window, the first one shows only a few of them.
  TakePicture(nullptr, false);
  pictureDue_ = true;
  return true;
}

void KxMiniUIPngSkin::ResolvePicture() {
  if (!pictureDue_) return;
  KxMiniUIPngPool* pool = PngPool();
  TakePicture(pool ? pool->Get(source_) : nullptr, false);
}

void KxMiniUIPngSkin::MeasurePicture() {
  if (!pictureDue_ || headerPixels_.cx > 0) return;
  KxMiniUIPngPool* pool = PngPool();
  // A layout measures pictures before its window is even made: the decode
  // can go on beside that work and the window's creation.
  // A header beyond the pixel limit would size the layout for a picture
  // that cannot decode: such a picture is measured by decoding it.
  if (pool != nullptr && pool->HeaderSize(source_, headerPixels_) && headerPixels_.cx <= kPixelLimit &&
      headerPixels_.cy <= kPixelLimit) {
    pool->Prefetch(source_);
    return;
  }
  headerPixels_ = SIZE{0, 0};
  ResolvePicture();
}

void KxMiniUIPngSkin::Prefetch() {
  KxMiniUIAutoLock guard(Lock());
  if (!pictureDue_) return;
  if (KxMiniUIPngPool* pool = PngPool()) pool->Prefetch(source_);
}

bool KxMiniUIPngSkin::RefreshFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(Lock());
  const UINT source = static_cast<UINT>(KxMiniUIValue::Number(KxMiniUIXml::Attribute(node, "src")));
  KxMiniUIPngPool* pool = PngPool();
  if (source == 0 || pool == nullptr || !pool->Reload(source)) return false;
  ClearSettings();
  return LoadFromXml(node);
}

void KxMiniUIPngSkin::TakePicture(std::shared_ptr<KxMiniUIBitmap> bitmap, bool byCode) {
  pictureDue_ = false;
  headerPixels_ = SIZE{0, 0};
  bitmap_ = std::move(bitmap);
  givenByCode_ = byCode && bitmap_ != nullptr;
  frameCache_.clear();
  if (bitmap_ && cacheSubImage_ && subWidth_ > 0) {
    const int pixelsPerFrame = RoundToInt(subWidth_ * KxMiniUIScaling::PictureFactor());
    if (pixelsPerFrame > 0) frameCache_.resize(static_cast<size_t>(bitmap_->Width() / pixelsPerFrame));
  }
  OnPictureChanged();
}

void KxMiniUIPngSkin::ClearSettings() {
  source_ = 0;
  subWidth_ = 0;
  stretchable_ = false;
  cacheSubImage_ = false;
  TakePicture(nullptr, false);
}

void KxMiniUIPngSkin::OnPictureChanged() {}

SIZE KxMiniUIPngSkin::PixelSize() const {
  if (bitmap_) return SIZE{bitmap_->Width(), bitmap_->Height()};
  return pictureDue_ ? headerPixels_ : SIZE{0, 0};
}

SIZE KxMiniUIPngSkin::FrameSize() const {
  const SIZE pixels = PixelSize();
  if (pixels.cx <= 0 || pixels.cy <= 0) return SIZE{0, 0};
  const double scale = KxMiniUIScaling::PictureFactor();
  return SIZE{subWidth_ > 0 ? subWidth_ : RoundToInt(pixels.cx / scale), RoundToInt(pixels.cy / scale)};
}

int KxMiniUIPngSkin::ClampedPixels(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kPixelLimit, kPixelLimit));
}

RECT KxMiniUIPngSkin::FrameRect(int frame) const {
  const SIZE size = FrameSize();
  const int left = ClampedPixels(static_cast<long long>(frame) * subWidth_);
  return RECT{left, 0, left + size.cx, size.cy};
}

RECT KxMiniUIPngSkin::Scaled(const RECT& rect, double scale) {
  return RECT{RoundToInt(rect.left * scale), RoundToInt(rect.top * scale), RoundToInt(rect.right * scale),
              RoundToInt(rect.bottom * scale)};
}

void KxMiniUIPngSkin::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) {
  KxMiniUIAutoLock guard(Lock());
  ResolvePicture();
  if (!bitmap_) return;
  const SIZE size = FrameSize();
  RECT dest = rect;
  if (!stretchable_) {
    // A fixed-size picture keeps its size at the top-left corner.
    dest.right = std::min<LONG>(dest.right, dest.left + size.cx);
    dest.bottom = std::min<LONG>(dest.bottom, dest.top + size.cy);
  }
  const double scale = KxMiniUIScaling::PictureFactor();
  const KxMiniUIBitmap* picture = bitmap_.get();
  RECT source = Scaled(FrameRect(frame), scale);
  // A frame outside the picture draws nothing, as one past the frame cache.
  if (source.left >= bitmap_->Width() || source.right <= 0) return;
  if (cacheSubImage_ && subWidth_ > 0) {
    if (frame < 0 || static_cast<size_t>(frame) >= frameCache_.size()) return;
    std::shared_ptr<KxMiniUIBitmap>& cached = frameCache_[static_cast<size_t>(frame)];
    if (!cached) cached = bitmap_->CloneArea(source);
    if (cached) {
      picture = cached.get();
      source = RECT{0, 0, cached->Width(), cached->Height()};
    }
  }
  canvas.Save();
  canvas.Scale(static_cast<float>(1.0 / scale), static_cast<float>(1.0 / scale));
  canvas.DrawBitmap(Scaled(dest, scale), picture, source, 255, KxMiniUIRendTarget::kQualityDefault);
  canvas.Restore();
}

SIZE KxMiniUIPngSkin::GetFrameSize() {
  KxMiniUIAutoLock guard(Lock());
  MeasurePicture();
  return FrameSize();
}

bool KxMiniUIPngSkin::IsSingleFrame() {
  KxMiniUIAutoLock guard(Lock());
  return subWidth_ == 0;
}

bool KxMiniUIPngSkin::SetBitmap(std::shared_ptr<KxMiniUIBitmap> bitmap) {
  KxMiniUIAutoLock guard(Lock());
  subWidth_ = 0;
  stretchable_ = false;
  TakePicture(std::move(bitmap), true);
  return bitmap_ != nullptr;
}

bool KxMiniUIPngSkin::SetFromGdiBitmap(HBITMAP handle) {
  std::shared_ptr<KxMiniUIBitmap> bitmap = NewBitmap();
  if (!bitmap->FromGdiBitmap(handle)) return false;
  KxMiniUIAutoLock guard(Lock());
  TakePicture(std::move(bitmap), true);
  return true;
}

bool KxMiniUIPngSkin::SetFromPngId(UINT id) {
  KxMiniUIPngPool* pool = PngPool();
  std::shared_ptr<KxMiniUIBitmap> bitmap = pool ? pool->Get(id) : nullptr;
  if (!bitmap) return false;
  KxMiniUIAutoLock guard(Lock());
  source_ = id;
  TakePicture(std::move(bitmap), false);
  return true;
}

bool KxMiniUIPngSkin::SetFromMemory(const void* bytes, size_t size) {
  std::shared_ptr<KxMiniUIBitmap> bitmap = NewBitmap();
  if (!bitmap->LoadFromMemory(bytes, size)) return false;
  KxMiniUIAutoLock guard(Lock());
  TakePicture(std::move(bitmap), true);
  return true;
}

SIZE KxMiniUIPngSkin::GetSize() {
  KxMiniUIAutoLock guard(Lock());
  MeasurePicture();
  const SIZE pixels = PixelSize();
  if (pixels.cx <= 0 || pixels.cy <= 0) return SIZE{0, 0};
  const double scale = KxMiniUIScaling::PictureFactor();
  return SIZE{RoundToInt(pixels.cx / scale), RoundToInt(pixels.cy / scale)};
}

void KxMiniUIPngSkin::Reset() {
  KxMiniUIAutoLock guard(Lock());
  if (!givenByCode_) ClearSettings();
}

UINT KxMiniUIPngSkin::SourceId() {
  KxMiniUIAutoLock guard(Lock());
  return source_;
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngSkin::Bitmap() {
  KxMiniUIAutoLock guard(Lock());
  ResolvePicture();
  return bitmap_;
}
