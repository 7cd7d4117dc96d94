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

// Drawn from the header at once, decoded when the pixels are first read, to
// the very pixels the direct decoder gives.
TEST(DeferredArtwork, DecodesOnFirstReadToTheSamePixels) {
  for (int id : AllIds()) {
    SCOPED_TRACE(id);
    int size = 0;
    const unsigned char* bytes = EmbeddedArtworkBytes(id, &size);
    std::unique_ptr<PIX_DeferredPng> deferred(PIX_DeferredPng::Create(bytes, size));
    std::unique_ptr<PIX_MemBitmap> direct(LoadPngFromMemory(bytes, size));
    ASSERT_NE(deferred, nullptr);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(deferred->Width(), direct->Width());
    EXPECT_EQ(deferred->Height(), direct->Height());
    EXPECT_FALSE(deferred->IsDecoded());
    ASSERT_NE(deferred->PixelBits(), nullptr);
    EXPECT_TRUE(deferred->IsDecoded());
    ASSERT_EQ(deferred->RowSpan(), direct->RowSpan());
    int differing = 0;  // rows compared without their padding
    for (int y = 0; y < direct->Height(); ++y) {
      const size_t row = size_t(y) * size_t(direct->RowSpan());
      differing += std::memcmp(deferred->PixelBits() + row, direct->PixelBits() + row,
                               size_t(direct->Width()) * sizeof(PixelWord)) != 0;
    }
    EXPECT_EQ(differing, 0);
  }
}

TEST(DeferredArtwork, RefusesWhatHasNoUsableHeaderAndDrawsNothingOfADamagedBody) {
  int size = 0;
  const unsigned char* bytes = EmbeddedArtworkBytes(kArtworkBy, &size);
  std::vector<unsigned char> png(bytes, bytes + size);
  EXPECT_EQ(PIX_DeferredPng::Create(nullptr, size), nullptr);
  EXPECT_EQ(PIX_DeferredPng::Create(png.data(), 23), nullptr);  // ends inside the header
  std::vector<unsigned char> changed = png;
  changed[1] = 'Q';  // no signature
  EXPECT_EQ(PIX_DeferredPng::Create(changed.data(), size), nullptr);
  changed = png;
  changed[12] = 'X';  // the first chunk is not the header
  EXPECT_EQ(PIX_DeferredPng::Create(changed.data(), size), nullptr);
  changed = png;
  std::memset(&changed[16], 0, 4);  // no width
  EXPECT_EQ(PIX_DeferredPng::Create(changed.data(), size), nullptr);
  changed = png;
  changed[20] = 0x80;  // a height beyond any int
  EXPECT_EQ(PIX_DeferredPng::Create(changed.data(), size), nullptr);

  changed = png;
  for (int i = size / 2; i < size / 2 + 16; ++i) changed[size_t(i)] ^= 0x5A;  // the image data damaged
  std::unique_ptr<PIX_DeferredPng> damaged(PIX_DeferredPng::Create(changed.data(), size));
  ASSERT_NE(damaged, nullptr);
  EXPECT_EQ(damaged->Width(), 61);
  EXPECT_EQ(damaged->Height(), 106);
  EXPECT_EQ(damaged->PixelBits(), nullptr);
  EXPECT_TRUE(damaged->IsDecoded());
  EXPECT_EQ(damaged->SetSize(1, 1), false);
  EXPECT_EQ(damaged->Width(), 61);
}

// Each distinct image is stored once: an image is stored under its own
// number unless an earlier number holds the same bytes at both resolutions,
// and no two stored numbers hold the same bytes.
TEST(StoredArtwork, IdenticalImagesAreStoredOnceUnderTheFirstNumber) {
  std::vector<int> stored;
  for (const ExpectedArtwork& expected : kExpectedArtwork) {
    SCOPED_TRACE(expected.id);
    const int twin = expected.id + kArtwork2xOffset;
    int first = expected.id;
    for (const ExpectedArtwork& earlier : kExpectedArtwork) {
      if (earlier.id >= expected.id) break;
      if (SameBytes(earlier.id, expected.id) && SameBytes(earlier.id + kArtwork2xOffset, twin)) {
        first = earlier.id;
        break;
      }
    }
    EXPECT_EQ(StoredArtworkId(expected.id), first);
    EXPECT_EQ(StoredArtworkId(twin), first + kArtwork2xOffset);
    if (first == expected.id) stored.push_back(first);
  }
  for (size_t i = 0; i < stored.size(); ++i)
    for (size_t k = i + 1; k < stored.size(); ++k)
      EXPECT_FALSE(SameBytes(stored[i], stored[k]) && SameBytes(stored[i] + 100, stored[k] + 100))
          << stored[i] << " and " << stored[k];
  EXPECT_EQ(stored.size(), 6u);  // CHOP's strips are DRY's, SYNC's are BY's
  EXPECT_EQ(StoredArtworkId(0), 0);
  EXPECT_EQ(StoredArtworkId(999), 999);
}

// Identical images share one array in the program.
TEST(StoredArtwork, EmbeddedImagesWithTheSameBytesShareThem) {
  for (int id : AllIds()) {
    SCOPED_TRACE(id);
    EXPECT_EQ(FindEmbeddedArtwork(id)->data, FindEmbeddedArtwork(StoredArtworkId(id))->data);
  }
}
