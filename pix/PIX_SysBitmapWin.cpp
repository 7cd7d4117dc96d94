// DIB-section drawing surface selected into its own memory device context, so
// GDI can draw into it and the window layer can BitBlt it to the screen.
#include "PIX_SysBitmap.h"

#include <windows.h>

#include <climits>

PIX_SysBitmap::PIX_SysBitmap(int w, int h) {
  mDc = CreateCompatibleDC(nullptr);
  SetSize(w, h);
}

PIX_SysBitmap::~PIX_SysBitmap() {
  ReleaseSurface();
  if (mDc) DeleteDC((HDC)mDc);
}

void PIX_SysBitmap::ReleaseSurface() {
  if (mPrevious && mDc) SelectObject((HDC)mDc, (HGDIOBJ)mPrevious);
  mPrevious = nullptr;
  if (mDib) DeleteObject((HGDIOBJ)mDib);
  mDib = nullptr;
  mPixels = nullptr;
}

// Without its device context the surface can hold no pixels.
bool PIX_SysBitmap::SurfaceReady() const { return mDc != nullptr; }

PixelWord* PIX_SysBitmap::AllocateSurface() {
  void* bits = nullptr;
  if ((long long)mAllocWidth * mAllocHeight * 4 <= INT_MAX) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = mAllocWidth;
    info.bmiHeader.biHeight = IsBottomUp() ? mAllocHeight : -mAllocHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    mDib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (mDib && bits) {
    mPrevious = SelectObject((HDC)mDc, (HGDIOBJ)mDib);
    return (PixelWord*)bits;
  }
  if (mDib) DeleteObject((HGDIOBJ)mDib);
  mDib = nullptr;
  return nullptr;
}
