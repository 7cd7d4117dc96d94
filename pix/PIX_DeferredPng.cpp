#include "PIX_DeferredPng.h"

#include <cstring>

#include "PIX_Png.h"

namespace {
const unsigned char kSignatureAndHeader[16] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A,
                                               0x00, 0x00, 0x00, 0x0D, 'I',  'H',  'D',  'R'};

// A 31-bit size field of the header; 0 when it does not fit an int.
int HeaderSize(const unsigned char* field) {
  const uint32_t v = uint32_t(field[0]) << 24 | uint32_t(field[1]) << 16 | uint32_t(field[2]) << 8 | field[3];
  return v > 0x7FFFFFFFu ? 0 : int(v);
}
}  // namespace

PIX_DeferredPng* PIX_DeferredPng::Create(const void* data, int length) {
  // Signature, the header chunk's length and type, width and height.
  if (!data || length < 24) return nullptr;
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (std::memcmp(bytes, kSignatureAndHeader, sizeof kSignatureAndHeader) != 0) return nullptr;
  const int width = HeaderSize(bytes + 16), height = HeaderSize(bytes + 20);
  if (width <= 0 || height <= 0) return nullptr;
  return new PIX_DeferredPng(data, length, width, height);
}

PIX_DeferredPng::PIX_DeferredPng(const void* data, int length, int width, int height)
    : mData(data), mLength(length), mWidth(width), mHeight(height) {}

const PIX_MemBitmap* PIX_DeferredPng::Decoded() const {
  std::call_once(mOnce, [this] {
    std::unique_ptr<PIX_MemBitmap> pixels(LoadPngFromMemory(mData, mLength));
    // The header promised this size; pixels of another size are not drawn.
    if (pixels && pixels->Width() == mWidth && pixels->Height() == mHeight) mPixels = std::move(pixels);
    mDecoded.store(true, std::memory_order_release);
  });
  return mPixels.get();
}

PixelWord* PIX_DeferredPng::PixelBits() const {
  const PIX_MemBitmap* pixels = Decoded();
  return pixels ? pixels->PixelBits() : nullptr;
}

int PIX_DeferredPng::RowSpan() const {
  const PIX_MemBitmap* pixels = Decoded();
  return pixels ? pixels->RowSpan() : mWidth;
}
