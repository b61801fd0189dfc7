// Animated PNG frames through libpng and its APNG extension. Frames are
// composed onto the full picture the way the format asks (blend over or
// replace; after showing, keep, clear or restore the frame's area). A plain
// PNG reads as a single frame.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIFrameDecoder.h"

class KxMiniUIApngDecoder : public KxMiniUIFrameDecoder {
 public:
  KxMiniUIApngDecoder();
  ~KxMiniUIApngDecoder() override;

  bool Open(std::string bytes) override;
  int Width() const override;
  int Height() const override;
  size_t FrameCount() const override;
  int FrameDelay(size_t index) const override;
  bool DecodeFrame(size_t index, BYTE* pixels) override;

  // The delays of the animation's frames in milliseconds, read straight from
  // the picture's frame-control chunks without decoding anything.
  static std::vector<int> ScanFrameDelays(const std::string& bytes);

 private:
  class Reader;
  struct Region {
    int x = 0, y = 0, width = 0, height = 0;
    int dispose = 0;
  };

  bool Restart();
  bool ComposeNext();
  void DisposePrevious();
  void Blend(const std::vector<BYTE>& frame, const Region& region, bool over);

  std::string bytes_;
  int width_ = 0;
  int height_ = 0;
  size_t frameCount_ = 0;
  bool animated_ = false;
  bool firstFrameHidden_ = false;
  std::vector<int> delays_;
  std::unique_ptr<Reader> reader_;
  size_t nextFrame_ = 0;
  std::vector<BYTE> canvas_;  // straight-alpha BGRA
  std::vector<BYTE> saved_;
  Region last_;
  bool haveLast_ = false;
};
