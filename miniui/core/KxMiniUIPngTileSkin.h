// A tiled picture skin: the first and last "marginwidth" columns are caps,
// the picture's middle between them is repeated across the rest.
#pragma once

#include "miniui/core/KxMiniUIPngSkin.h"

class KxMiniUIPngTileSkin : public KxMiniUIPngSkin {
 public:
  KXMINIUI_DECLARE_TAG("imgtile")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) override;

 protected:
  void OnPictureChanged() override;

 private:
  void BuildMiddle();

  int margin_ = 0;
  std::shared_ptr<KxMiniUIBitmap> middle_;
};
