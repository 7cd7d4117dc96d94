#include "PIX_DeferredPng.h"

#include <cstring>

#include "PIX_Png.h"
#include "PIX_PngDecode.h"

namespace {
const unsigned char kSignatureAndHeader[16] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A,
                                               0x00, 0x00, 0x00, 0x0D, 'I',  'H',  'D',  'R'};

// Where a strip chunk of frames side by side is looked for: right after the
// header chunk (signature 8 bytes, header chunk 25), its length field first.
constexpr int kStripChunkAt = 33;
const unsigned char kStripChunkStart[8] = {0, 0, 0, 4, 's', 't', 'R', 'P'};

uint32_t BigEndian(const unsigned char* field) {
  return uint32_t(field[0]) << 24 | uint32_t(field[1]) << 16 | uint32_t(field[2]) << 8 | field[3];
}
}  // namespace

PIX_DeferredPng* PIX_DeferredPng::Create(const void* data, int length) {
  // Signature, the header chunk's length and type, width and height.
  if (!data || length < 24) return nullptr;
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (std::memcmp(bytes, kSignatureAndHeader, sizeof kSignatureAndHeader) != 0) return nullptr;
  // A strip of frames side by side is drawn with its frames stacked, the
  // size decoding gives it.
  uint32_t frames = 1;
  if (length >= kStripChunkAt + 12 && std::memcmp(bytes + kStripChunkAt, kStripChunkStart, 8) == 0)
    frames = BigEndian(bytes + kStripChunkAt + 8);
  int width = 0, height = 0;
  if (!StackedStripSize(BigEndian(bytes + 16), BigEndian(bytes + 20), frames, &width, &height)) return nullptr;
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
