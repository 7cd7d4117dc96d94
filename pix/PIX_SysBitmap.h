// The drawing surface GDI can draw into. On Windows it is a top-down 32-bit DIB
// section selected into its own memory device context; elsewhere it is a heap
// surface with the same size rules and no device context.
#pragma once

#include "PIX_Bitmap.h"

class PIX_SysBitmap : public PIX_IBitmap {
public:
  PIX_SysBitmap(int w, int h);
  ~PIX_SysBitmap() override;
  PIX_SysBitmap(const PIX_SysBitmap&) = delete;
  PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

  PixelWord* PixelBits() const override { return mPixels; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  // The allocated width: the surface only grows, so a smaller logical size
  // keeps the larger allocation and its span.
  int RowSpan() const override { return mAllocWidth; }
  // Grows the surface when needed (allocated width rounded up to 4 pixels).
  bool SetSize(int w, int h) override;
  void* DeviceContext() const override { return mDc; }

private:
  // Per back end: whether pixels can be had at all, and the allocation of
  // allocWidth x allocHeight pixels (null when it fails).
  bool SurfaceReady() const;
  PixelWord* AllocateSurface();
  void ReleaseSurface();

  int mWidth = 0;
  int mHeight = 0;
  void* mDc = nullptr;  // HDC on Windows
  PixelWord* mPixels = nullptr;
  int mAllocWidth = 0;
  int mAllocHeight = 0;
  void* mDib = nullptr;       // HBITMAP on Windows; heap block elsewhere
  void* mPrevious = nullptr;  // object selected in dc before the DIB
};
