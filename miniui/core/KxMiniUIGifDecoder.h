// GIF frames through GDI+: the frame count comes from the time dimension and
// each frame's delay from the frame-delay property (hundredths of a second).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIBitmapGdip.h"
#include "miniui/core/KxMiniUIFrameDecoder.h"

class KxMiniUIGifDecoder : public KxMiniUIFrameDecoder {
 public:
  KxMiniUIGifDecoder();
  ~KxMiniUIGifDecoder() override;

  bool Open(std::string bytes) override;
  int Width() const override;
  int Height() const override;
  size_t FrameCount() const override;
  int FrameDelay(size_t index) const override;
  bool DecodeFrame(size_t index, BYTE* pixels) override;

 private:
  void ReadDelays();

  KxMiniUIBitmapGdip picture_;
  size_t frameCount_ = 0;
  std::vector<int> delays_;
};
