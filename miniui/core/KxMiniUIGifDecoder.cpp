#include "miniui/core/KxMiniUIGifDecoder.h"

#include <cstring>

namespace {

// The time frame dimension of animated GIFs, 6aedbd6d-3fb5-418a-83a6-7f45229dc872.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};

}  // namespace

KxMiniUIGifDecoder::KxMiniUIGifDecoder() = default;
KxMiniUIGifDecoder::~KxMiniUIGifDecoder() = default;

bool KxMiniUIGifDecoder::Open(std::string bytes) {
  delays_.clear();
  frameCount_ = 0;
  if (!picture_.LoadFromMemory(bytes.data(), bytes.size())) return false;
  const UINT frames = picture_.GetNative()->GetFrameCount(&kFrameDimensionTime);
  frameCount_ = frames == 0 ? 1 : frames;
  ReadDelays();
  return true;
}

void KxMiniUIGifDecoder::ReadDelays() {
  Gdiplus::Bitmap* image = picture_.GetNative();
  const UINT size = image->GetPropertyItemSize(PropertyTagFrameDelay);
  if (size >= sizeof(Gdiplus::PropertyItem)) {
    std::vector<BYTE> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (image->GetPropertyItem(PropertyTagFrameDelay, size, item) == Gdiplus::Ok && item->value != nullptr) {
      const size_t count = item->length / sizeof(LONG);
      for (size_t i = 0; i < count; ++i) {
        LONG hundredths = 0;
        std::memcpy(&hundredths, static_cast<const BYTE*>(item->value) + i * sizeof(LONG), sizeof(LONG));
        delays_.push_back(static_cast<int>(hundredths) * 10);
      }
    }
  }
  delays_.resize(frameCount_, 0);
}

int KxMiniUIGifDecoder::Width() const { return picture_.Width(); }
int KxMiniUIGifDecoder::Height() const { return picture_.Height(); }
size_t KxMiniUIGifDecoder::FrameCount() const { return frameCount_; }

int KxMiniUIGifDecoder::FrameDelay(size_t index) const {
  return index < delays_.size() ? delays_[index] : 0;
}

bool KxMiniUIGifDecoder::DecodeFrame(size_t index, BYTE* pixels) {
  Gdiplus::Bitmap* image = picture_.GetNative();
  if (image == nullptr || pixels == nullptr || index >= frameCount_) return false;
  if (frameCount_ > 1 &&
      image->SelectActiveFrame(&kFrameDimensionTime, static_cast<UINT>(index)) != Gdiplus::Ok) {
    return false;
  }
  KxMiniUIBitmapBits bits;
  if (!picture_.LockBits(nullptr, false, bits)) return false;
  const size_t rowBytes = static_cast<size_t>(bits.width) * 4;
  for (int y = 0; y < bits.height; ++y) {
    std::memcpy(pixels + static_cast<size_t>(y) * rowBytes, bits.pixels + static_cast<ptrdiff_t>(y) * bits.stride,
                rowBytes);
  }
  picture_.UnlockBits(bits);
  return true;
}
