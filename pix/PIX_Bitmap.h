// 32-bit bitmaps: the abstract interface every drawing routine works through,
// and the plain heap-backed bitmap used for artwork.
#pragma once

#include <cstdint>

// One pixel, 0xAARRGGBB, straight (not premultiplied) alpha.
// In memory the bytes are B, G, R, A at offsets 0-3.
typedef uint32_t PixelWord;

// Rectangle in pixels; right and bottom are exclusive.
struct PIX_Rect {
  int left, top, right, bottom;
};

class PIX_IBitmap {
public:
  virtual ~PIX_IBitmap() {}
  // First pixel of stored row 0, or null when the bitmap holds no pixels.
  virtual PixelWord* PixelBits() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pixels from the start of one stored row to the start of the next.
  virtual int RowSpan() const = 0;
  // When true, row y is stored at row index Height() - 1 - y.
  virtual bool IsBottomUp() const { return false; }
  // Returns true when the size changed; pixel contents are left undefined.
  virtual bool SetSize(int w, int h) = 0;
  // GDI device context (an HDC) on Windows for bitmaps GDI can draw into; null otherwise.
  virtual void* DeviceContext() const { return nullptr; }
  virtual intptr_t QueryExtension(int id, void* data) { return 0; }
};

// Heap bitmap. Rows start 64-byte aligned and spans are rounded up by
// RowAlignMask; the buffer grows by a quarter more than needed and never
// shrinks while it holds pixels, so small size changes rarely reallocate.
class PIX_MemBitmap : public PIX_IBitmap {
public:
  PIX_MemBitmap() {}
  ~PIX_MemBitmap() override;
  PIX_MemBitmap(const PIX_MemBitmap&) = delete;
  PIX_MemBitmap& operator=(const PIX_MemBitmap&) = delete;

  PixelWord* PixelBits() const override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return (mWidth + RowAlignMask) & ~RowAlignMask; }
  bool SetSize(int w, int h) override;

  // Bytes reserved for pixels (excluding the alignment slack).
  int Capacity() const { return mCapacity; }

private:
  void Release();

  unsigned char* mRaw = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  int mCapacity = 0;

public:
  int RowAlignMask = 3;
};
