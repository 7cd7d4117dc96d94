// A PNG that stays compressed until its pixels are first read.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "PIX_Bitmap.h"

// Artwork whose PNG bytes live as long as the module (a resource, an array
// compiled in): the size comes from the image header at once, the pixels are
// decoded on the first call to PixelBits or RowSpan, so an effect that never
// shows its editor never pays for decoding. Safe to share between threads.
class PIX_DeferredPng : public PIX_IBitmap {
public:
  // Null unless the data starts with the PNG signature and a header giving a
  // positive size. A strip of frames side by side has its strip chunk right
  // after the header (PIX_PngDecode.h) and the size of its frames stacked.
  // The bytes are not copied: they must outlive the bitmap.
  static PIX_DeferredPng* Create(const void* data, int length);

  // Null when the image turns out to be damaged: it then draws nothing.
  PixelWord* PixelBits() const override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override;
  // The size is the image's: never changed.
  bool SetSize(int w, int h) override { return false; }

  bool IsDecoded() const { return mDecoded.load(std::memory_order_acquire); }

private:
  PIX_DeferredPng(const void* data, int length, int width, int height);
  const PIX_MemBitmap* Decoded() const;

  const void* mData;
  int mLength;
  int mWidth;
  int mHeight;
  mutable std::once_flag mOnce;
  mutable std::unique_ptr<PIX_MemBitmap> mPixels;
  mutable std::atomic<bool> mDecoded{false};
};
