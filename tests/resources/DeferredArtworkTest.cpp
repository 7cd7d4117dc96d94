#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "ArtworkIds.h"
#include "ArtworkTable.h"
#include "EmbeddedArtwork.h"
#include "PIX_DeferredPng.h"
#include "PIX_Png.h"

namespace {

// Every image and every twin by number.
std::vector<int> AllIds() {
  std::vector<int> ids;
  for (const ExpectedArtwork& expected : kExpectedArtwork) ids.push_back(expected.id);
  for (const ExpectedArtwork& expected : kExpectedArtwork) ids.push_back(expected.id + kArtwork2xOffset);
  return ids;
}

bool SameBytes(int a, int b) {
  int sizeA = 0, sizeB = 0;
  const unsigned char* bytesA = EmbeddedArtworkBytes(a, &sizeA);
  const unsigned char* bytesB = EmbeddedArtworkBytes(b, &sizeB);
  return bytesA && bytesB && sizeA == sizeB && std::memcmp(bytesA, bytesB, size_t(sizeA)) == 0;
}

}  // namespace

// Sized from the header at once, decoded when the pixels are first read, to
// the very pixels the direct decoder gives.
TEST(DeferredArtwork, DecodesOnFirstReadToTheSamePixels) {
  for (int id : AllIds()) {
    SCOPED_TRACE(id);
    int size = 0;
    const unsigned char* bytes = EmbeddedArtworkBytes(id, &size);
    std::unique_ptr<PIX_DeferredPng> deferred(PIX_DeferredPng::Create(bytes, size));
    std::unique_ptr<PIX_MemBitmap> direct(LoadPngFromMemory(bytes, size));
    ASSERT_TRUE(deferred && direct);
    EXPECT_EQ(deferred->Width(), direct->Width());
    EXPECT_EQ(deferred->Height(), direct->Height());
    EXPECT_FALSE(deferred->IsDecoded());
    ASSERT_NE(deferred->PixelBits(), nullptr);
    EXPECT_TRUE(deferred->IsDecoded());
    ASSERT_EQ(deferred->RowSpan(), direct->RowSpan());
    for (int y = 0; y < direct->Height(); ++y) {  // rows without their padding
      const size_t row = size_t(y) * size_t(direct->RowSpan());
      ASSERT_EQ(0, std::memcmp(deferred->PixelBits() + row, direct->PixelBits() + row,
                               size_t(direct->Width()) * sizeof(PixelWord)))
          << y;
    }
  }
}

TEST(DeferredArtwork, RefusesWhatHasNoUsableHeaderAndDrawsNothingOfADamagedBody) {
  int size = 0;
  const unsigned char* bytes = EmbeddedArtworkBytes(kArtworkBy, &size);
  EXPECT_EQ(PIX_DeferredPng::Create(nullptr, size), nullptr);
  EXPECT_EQ(PIX_DeferredPng::Create(bytes, 23), nullptr);  // ends inside the header
  // No signature, the first chunk not the header, no width, a height beyond any int.
  for (const auto& [at, value] : {std::pair{1, 'Q'}, {12, 'X'}, {19, '\0'}, {20, '\x80'}}) {
    std::vector<unsigned char> changed(bytes, bytes + size);
    changed[size_t(at)] = static_cast<unsigned char>(value);
    EXPECT_EQ(PIX_DeferredPng::Create(changed.data(), size), nullptr) << at;
  }
  std::vector<unsigned char> changed(bytes, bytes + size);
  for (int i = size / 2; i < size / 2 + 16; ++i) changed[size_t(i)] ^= 0x5A;  // the image data damaged
  std::unique_ptr<PIX_DeferredPng> damaged(PIX_DeferredPng::Create(changed.data(), size));
  ASSERT_NE(damaged, nullptr);
  EXPECT_EQ(damaged->PixelBits(), nullptr);
  EXPECT_FALSE(damaged->SetSize(1, 1));
  EXPECT_EQ(damaged->Width(), 61);
}

// An image is stored under the first number holding the same bytes at both
// resolutions, and the program holds those bytes once.
TEST(StoredArtwork, IdenticalImagesAreStoredOnceUnderTheFirstNumber) {
  size_t stored = 0;
  for (const ExpectedArtwork& expected : kExpectedArtwork) {
    SCOPED_TRACE(expected.id);
    int first = expected.id;
    for (const ExpectedArtwork& earlier : kExpectedArtwork)
      if (earlier.id < first && SameBytes(earlier.id, expected.id) &&
          SameBytes(earlier.id + kArtwork2xOffset, expected.id + kArtwork2xOffset))
        first = earlier.id;
    EXPECT_EQ(StoredArtworkId(expected.id), first);
    EXPECT_EQ(StoredArtworkId(expected.id + kArtwork2xOffset), first + kArtwork2xOffset);
    stored += first == expected.id;
  }
  // CHOP's strips are DRY's; SYNC's, PATTERN's and RETRIG's are BY's; SWING's and OFFSET's are GATE's
  EXPECT_EQ(stored, 10u);
  EXPECT_EQ(StoredArtworkId(999), 999);
  for (int id : AllIds()) EXPECT_EQ(FindEmbeddedArtwork(id)->data, FindEmbeddedArtwork(StoredArtworkId(id))->data);
}
