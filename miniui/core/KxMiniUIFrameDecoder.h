// Decodes the frames of an animated picture one at a time into same-sized
// 32-bit premultiplied pixels.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class KxMiniUIFrameDecoder {
 public:
  virtual ~KxMiniUIFrameDecoder();
  // Reads the picture's header and frame list; false when the bytes are no
  // picture this decoder knows.
  virtual bool Open(std::string bytes) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual size_t FrameCount() const = 0;
  // Milliseconds frame `index` stays on screen.
  virtual int FrameDelay(size_t index) const = 0;
  // Writes frame `index` as Width() × Height() pixels, rows of Width() × 4
  // bytes. Going forward one frame at a time is the cheap order.
  virtual bool DecodeFrame(size_t index, BYTE* pixels) = 0;
};
