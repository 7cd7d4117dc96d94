#include "PIX_Bitmap.h"

#include <climits>
#include <cstdlib>

namespace {
constexpr int kAlignSlack = 63;  // rows start at the next 64-byte boundary
}

PIX_MemBitmap::~PIX_MemBitmap() { Release(); }

void PIX_MemBitmap::Release() {
  std::free(mRaw);
  mRaw = nullptr;
  mCapacity = 0;
}

PixelWord* PIX_MemBitmap::PixelBits() const {
  if (!mRaw) return nullptr;
  return (PixelWord*)(((uintptr_t)mRaw + kAlignSlack) & ~(uintptr_t)kAlignSlack);
}

bool PIX_MemBitmap::SetSize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;

  // Sizes whose byte count does not fit the 32-bit data model are refused
  // outright rather than allocated short.
  long long need = 0;
  if (w > 0 && h > 0) {
    const long long span = ((long long)w + RowAlignMask) & ~(long long)RowAlignMask;
    need = span * h * 4;
    if (need > INT_MAX - kAlignSlack) need = 0;
  }

  if (need > 0) {
    if (!mRaw) {
      mRaw = (unsigned char*)std::malloc((size_t)need + kAlignSlack);
      mCapacity = mRaw ? (int)need : 0;
    } else if (mCapacity < need) {
      long long grown = need + need / 4;
      if (grown > INT_MAX - kAlignSlack) grown = need;
      unsigned char* moved = (unsigned char*)std::realloc(mRaw, (size_t)grown + kAlignSlack);
      if (moved) {
        mRaw = moved;
        mCapacity = (int)grown;
      } else {
        std::free(mRaw);
        mRaw = (unsigned char*)std::malloc((size_t)need + kAlignSlack);
        mCapacity = mRaw ? (int)need : 0;
      }
    }
  } else {
    Release();
  }

  if (!mRaw) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
