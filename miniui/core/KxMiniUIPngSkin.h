// A picture skin: a PNG from the PNG pool, cut into frames of "subwidth"
// pixels laid side by side (frame i starts at x = i × subwidth).
#pragma once

#include <vector>

#include "miniui/core/KxMiniUISkin.h"

class KxMiniUIPngSkin : public KxMiniUISkin {
 public:
  KXMINIUI_DECLARE_TAG("png")

  KxMiniUIPngSkin();
  ~KxMiniUIPngSkin() override;

  // Applies the attributes; fails without a "src". The "src" picture is
  // resolved through the PNG pool once, when the skin is first drawn; until
  // then it is measured from its PNG header.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) override;
  SIZE GetFrameSize() override;
  bool IsSingleFrame() override;
  bool SetBitmap(std::shared_ptr<KxMiniUIBitmap> bitmap) override;
  bool SetFromGdiBitmap(HBITMAP bitmap) override;
  bool SetFromPngId(UINT id) override;
  bool SetFromMemory(const void* bytes, size_t size) override;
  SIZE GetSize() override;
  void Reset() override;
  // Only when the "src" picture reloads in the PNG pool.
  bool RefreshFromXml(const KxMiniUIXmlNode* node) override;
  // Queues the "src" picture for decoding on the PNG pool's thread while it
  // is still due.
  void Prefetch() override;

  UINT SourceId();
  std::shared_ptr<KxMiniUIBitmap> Bitmap();

 protected:
  // Called with the lock held whenever the picture changes.
  virtual void OnPictureChanged();
  // Under the lock, before bitmap_ is read: takes the "src" picture from
  // the PNG pool when the skin was loaded from XML and has not yet.
  void ResolvePicture();
  // Under the lock, before a size is read: a picture still due is measured
  // from its PNG header and decoded ahead instead of now; one without a
  // readable header is resolved at once.
  void MeasurePicture();
  // Sizes, margins and frame offsets stay within this many pixels of 0, so
  // that no sum or scaled value of them overflows an int.
  static constexpr int kPixelLimit = 1 << 24;
  static int ClampedPixels(long long value);

  // Frame `frame` in layout units (multiply by the picture scale for pixels).
  RECT FrameRect(int frame) const;
  SIZE FrameSize() const;
  // The picture's pixels: the bitmap's, or the header's while it is due.
  SIZE PixelSize() const;
  // `rect` × `scale`, rounded to whole pixels.
  static RECT Scaled(const RECT& rect, double scale);

  std::shared_ptr<KxMiniUIBitmap> bitmap_;

 private:
  void TakePicture(std::shared_ptr<KxMiniUIBitmap> bitmap, bool byCode);
  void ClearSettings();

  UINT source_ = 0;
  int subWidth_ = 0;
  bool stretchable_ = false;
  bool cacheSubImage_ = false;
  bool givenByCode_ = false;
  bool pictureDue_ = false;
  // Read from the PNG header while the picture is due; {0, 0} until then.
  SIZE headerPixels_{0, 0};
  std::vector<std::shared_ptr<KxMiniUIBitmap>> frameCache_;
};
