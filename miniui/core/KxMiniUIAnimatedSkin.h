// Base of the animated skins: a picture resource decoded into frames, each
// with its delay. Frames are decoded at load into a frame store (in memory,
// or with "DiskCache" in a temporary file), or, for the on-demand variants,
// one at a time when drawn.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIFrameDecoder.h"
#include "miniui/core/KxMiniUIFrameStore.h"
#include "miniui/core/KxMiniUISkin.h"

class KxMiniUIAnimatedSkin : public KxMiniUISkin {
 public:
  ~KxMiniUIAnimatedSkin() override;

  // Applies "src" and "DiskCache", then decodes; fails without a picture.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Frame `frame` stretched over `rect`; nothing for a frame it does not have.
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) override;
  SIZE GetFrameSize() override;
  bool IsSingleFrame() override;
  SIZE GetSize() override;
  void Reset() override;
  bool RefreshFromXml(const KxMiniUIXmlNode* node) override;

  size_t FrameCount();
  // Milliseconds frame `index` stays on screen.
  int FrameDelay(size_t index);
  // The temporary file holding the frames with "DiskCache", else "".
  std::wstring CacheFilePath();

 protected:
  explicit KxMiniUIAnimatedSkin(bool onDemand);
  virtual std::unique_ptr<KxMiniUIFrameDecoder> NewDecoder() const = 0;
  // The resource type the picture is read from.
  virtual const wchar_t* ResourceType() const = 0;

 private:
  bool Decode();
  // The pixels of `frame`, decoding it first when frames come on demand.
  BYTE* FramePixels(size_t frame);
  void Clear();

  const bool onDemand_;
  UINT source_ = 0;
  bool diskCache_ = false;
  std::unique_ptr<KxMiniUIFrameDecoder> decoder_;  // kept only for on-demand decoding
  std::vector<int> delays_;
  KxMiniUIFrameStore frames_;
  size_t decodedFrame_ = static_cast<size_t>(-1);
};
