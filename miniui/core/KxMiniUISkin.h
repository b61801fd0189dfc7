// Base of every skin: an object from the skins document that draws itself
// into a rectangle in one of its frames. Each operation holds the skin's own
// lock, because a skins refresh may replace its picture while a worker
// thread or the UI thread uses it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUILock.h"
#include "miniui/core/KxMiniUIObject.h"
#include "miniui/core/KxMiniUIRendTarget.h"

class KxMiniUISkin : public KxMiniUIObject {
 public:
  KxMiniUISkin();
  ~KxMiniUISkin() override;
  KxMiniUISkin(const KxMiniUISkin&) = delete;
  KxMiniUISkin& operator=(const KxMiniUISkin&) = delete;

  virtual void Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame);
  virtual SIZE GetFrameSize();
  virtual bool IsSingleFrame();
  virtual bool SetBitmap(std::shared_ptr<KxMiniUIBitmap> bitmap);
  virtual bool SetFromGdiBitmap(HBITMAP bitmap);
  virtual bool SetFromPngId(UINT id);
  virtual bool SetFromMemory(const void* bytes, size_t size);
  // The natural size (views without a size use it).
  virtual SIZE GetSize();
  virtual void Reset();
  // Applies a skins-document element again to an existing skin (a skins
  // refresh); false leaves the skin as it was.
  virtual bool RefreshFromXml(const KxMiniUIXmlNode* node);
  // A view is about to show the skin: what it draws may be prepared ahead,
  // off the caller's thread. Nothing by default.
  virtual void Prefetch();

 protected:
  KxMiniUICriticalSection& Lock() { return lock_; }

 private:
  KxMiniUICriticalSection lock_;
};
