// "pnggroup": a background picture ("srcbg") under one frame of a strip of
// frames ("subId"). The "item" children give each state ("status") its own
// frame width ("subwidth", else the group's); the frames lie side by side in
// item order.
#pragma once

#include <vector>

#include "miniui/core/KxMiniUISkin.h"

class KxMiniUIPngGroupSkin : public KxMiniUISkin {
 public:
  KXMINIUI_DECLARE_TAG("pnggroup")

  // Attributes, then the items; fails without either picture.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The background over `rect`, then the frame of state `frame` at its size
  // at the top-left corner; nothing for a state without an item.
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) override;
  SIZE GetFrameSize() override;
  bool IsSingleFrame() override;
  SIZE GetSize() override;
  void Reset() override;

  // The strip area of state `status`, or an empty rectangle.
  RECT FrameOf(int status);

 private:
  struct Item {
    int status = 0;
    int width = 0;
  };

  RECT FrameOfLocked(int status) const;

  UINT background_ = 0;
  UINT strip_ = 0;
  int subWidth_ = 0;
  std::vector<Item> items_;
  std::shared_ptr<KxMiniUIBitmap> backgroundBitmap_;
  std::shared_ptr<KxMiniUIBitmap> stripBitmap_;
};
