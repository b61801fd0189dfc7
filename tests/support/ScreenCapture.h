// Reading back what the X server shows, and saving it as a PNG picture.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

namespace zelk::test {

// Screen pixels as the X server shows them (top row first, BGRA).
class ScreenCapture {
 public:
  explicit ScreenCapture(const RECT& area) : area_(area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    pixels_.resize(static_cast<size_t>(width) * height);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }

  // Colour at a point relative to the captured area's corner.
  COLORREF At(int x, int y) const {
    const DWORD bgra = pixels_[static_cast<size_t>(y) * Width() + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
  }
  int Width() const { return area_.right - area_.left; }
  int Height() const { return area_.bottom - area_.top; }

  // Writes the capture as a PNG file through GDI+.
  bool SavePng(const std::wstring& path) const {
    Gdiplus::Bitmap image(Width(), Height(), Width() * 4, PixelFormat32bppRGB,
                          reinterpret_cast<BYTE*>(const_cast<DWORD*>(pixels_.data())));
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
      if (std::wstring(encoders[i].MimeType) == L"image/png") {
        return image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
      }
    }
    return false;
  }

 private:
  RECT area_;
  std::vector<DWORD> pixels_;
};

}  // namespace zelk::test
