// GDI fonts for native child windows and text measurement, keyed by a
// 16-bit style key, plus the default face and height the canvas falls back
// to and the per-face vertical offset that text drawing measures once.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUIFontPool {
 public:
  // Key bits: 0 italic, 1 underline, 2 bold; the high byte a signed size step.
  static constexpr WORD kItalic = 0x1;
  static constexpr WORD kUnderline = 0x2;
  static constexpr WORD kBold = 0x4;

  KxMiniUIFontPool();
  KxMiniUIFontPool(const KxMiniUIFontPool&) = delete;
  KxMiniUIFontPool& operator=(const KxMiniUIFontPool&) = delete;

  // The first of "Microsoft YaHei" and "宋体" the system knows, else the face
  // of the default GUI font.
  virtual bool GetSystemFaceName(std::wstring& face);
  virtual HFONT GetFont(bool bold, bool underline, bool italic, int sizeStep);
  // The pool keeps the font; callers never delete it.
  virtual HFONT GetFontByKey(WORD key);
  // Stores the face and height answered by GetDefaultFont and rebuilds the
  // key-0 font with the new height.
  virtual void SetDefaultFont(const std::wstring& face, int height);
  virtual void GetDefaultFont(std::wstring& face, int& height);
  virtual size_t Count();
  virtual bool GetFaceTopGap(const std::wstring& face, float& gap);
  virtual void SetFaceTopGap(const std::wstring& face, float gap);
  virtual ~KxMiniUIFontPool();

  static WORD MakeKey(bool bold, bool underline, bool italic, int sizeStep);

 private:
  HFONT CreateKeyedFont(WORD key);
  const std::wstring& SystemFaceLocked();

  KxMiniUICriticalSection lock_;
  std::map<WORD, Kx::ScopedGdiObject<HFONT>> fonts_;
  std::wstring defaultFace_ = L"Microsoft YaHei";
  int defaultHeight_ = 12;
  std::wstring systemFace_;
  std::map<std::wstring, float> topGaps_;
};
