// Heap-backed drawing surface for platforms without GDI: same growth and span
// rules as the DIB version, no device context.
#include "PIX_SysBitmap.h"

#include <climits>
#include <cstdlib>

PIX_SysBitmap::PIX_SysBitmap(int w, int h) { SetSize(w, h); }

PIX_SysBitmap::~PIX_SysBitmap() { ReleaseSurface(); }

void PIX_SysBitmap::ReleaseSurface() {
  std::free(mDib);
  mDib = nullptr;
  mPixels = nullptr;
}

bool PIX_SysBitmap::SurfaceReady() const { return true; }

PixelWord* PIX_SysBitmap::AllocateSurface() {
  const long long bytes = (long long)mAllocWidth * mAllocHeight * 4;
  if (bytes <= INT_MAX - 63) mDib = std::aligned_alloc(64, ((size_t)bytes + 63) & ~(size_t)63);
  return (PixelWord*)mDib;
}
