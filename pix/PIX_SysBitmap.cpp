// The size rules both drawing-surface back ends share; each back end supplies
// only where the pixels live (SurfaceReady, AllocateSurface, ReleaseSurface).
#include "PIX_SysBitmap.h"

#include <climits>

bool PIX_SysBitmap::SetSize(int w, int h) {
  if (!SurfaceReady()) {
    mWidth = 0;
    mHeight = 0;
    mPixels = nullptr;
    return false;
  }
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  // The surface only grows: a smaller logical size keeps the larger allocation.
  if (w != 0 && h != 0 && mAllocWidth >= w && mAllocHeight >= h && mPixels) return true;

  mAllocHeight = h;
  mAllocWidth = w > INT_MAX - 3 ? 0 : (w + 3) & ~3;
  ReleaseSurface();
  if (mAllocWidth < 1 || h < 1) return false;

  mPixels = AllocateSurface();
  if (!mPixels) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
