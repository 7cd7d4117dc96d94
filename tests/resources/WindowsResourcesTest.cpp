#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "ArtworkIds.h"
#include "ArtworkTable.h"
#include "EmbeddedArtwork.h"

// This program links the module's resource script, so its own resources are
// the ones the module carries.

TEST(WindowsResources, EachImageIsAUsEnglishPngResourceWithTheEmbeddedBytes) {
  HMODULE self = GetModuleHandleA(nullptr);
  for (int id = 0; id < 2 * 8; ++id) {  // each image, then its 2x twin
    const ExpectedArtwork& expected = kExpectedArtwork[id % 8];
    const int resource = expected.id + (id < 8 ? 0 : 100);
    SCOPED_TRACE(resource);
    HRSRC found = FindResourceExA(self, "PNG", MAKEINTRESOURCEA(StoredArtworkId(resource)),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(self, found);
    HGLOBAL loaded = LoadResource(self, found);
    ASSERT_NE(loaded, nullptr);
    const void* bytes = LockResource(loaded);
    ASSERT_NE(bytes, nullptr);

    const EmbeddedArtwork* embedded = FindEmbeddedArtwork(resource);
    ASSERT_NE(embedded, nullptr);
    ASSERT_EQ(size, DWORD(embedded->size));
    EXPECT_EQ(std::memcmp(bytes, embedded->data, size), 0);
  }
}

TEST(WindowsResources, ImagesDrawnAlikeHaveNoCopyOfTheirOwn) {
  HMODULE self = GetModuleHandleA(nullptr);
  int stored = 0;
  for (int id = kArtworkDry; id <= kArtworkPreset + kArtwork2xOffset; ++id) {
    if (FindResourceA(self, MAKEINTRESOURCEA(id), "PNG") == nullptr) continue;
    ++stored;
    EXPECT_EQ(StoredArtworkId(id), id) << id;
  }
  // 16 images at two resolutions; BY, SYNC, PATTERN and RETRIG are drawn
  // alike, as are GATE, SWING and OFFSET, and CHOP and DRY.
  EXPECT_EQ(stored, 2 * 10);
}

TEST(WindowsResources, NoOtherPngResourceNumbers) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(100), "PNG"), nullptr);
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(kArtworkPreset + 1), "PNG"), nullptr);
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(kArtworkPreset + kArtwork2xOffset + 1), "PNG"), nullptr);
}
