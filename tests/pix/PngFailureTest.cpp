#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "PIX_Png.h"
#include "PIX_PngDecode.h"
#include "PixTestUtil.h"
#include "PngWriter.h"

namespace {
std::vector<unsigned char> SmallImage() {
  PngImage img;
  img.width = 40, img.height = 30;
  for (int i = 0; i < 40 * 30; ++i)
    img.rows.insert(img.rows.end(), {(unsigned char)i, (unsigned char)(i >> 3), (unsigned char)(i * 7), 200});
  return EncodePng(img);
}

// Either null or a complete bitmap of the image's size; never a crash.
void ExpectNullOrWhole(const std::vector<unsigned char>& bytes) {
  std::unique_ptr<PIX_MemBitmap> bm(LoadPngFromMemory(bytes.data(), (int)bytes.size()));
  if (bm) {
    EXPECT_EQ(bm->Width(), 40);
    EXPECT_EQ(bm->Height(), 30);
  }
}

void PutBigEndian(unsigned char* p, uint32_t v) {
  p[0] = (unsigned char)(v >> 24), p[1] = (unsigned char)(v >> 16), p[2] = (unsigned char)(v >> 8),
  p[3] = (unsigned char)v;
}

// A valid signature and IHDR claiming the given size, then an empty IDAT and IEND.
std::vector<unsigned char> ClaimedSize(uint32_t w, uint32_t h) {
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const std::vector<unsigned char>& data) {
    unsigned char head[8];
    PutBigEndian(head, (uint32_t)data.size());
    std::memcpy(head + 4, type, 4);
    png.insert(png.end(), head, head + 8);
    png.insert(png.end(), data.begin(), data.end());
    uLong crc = crc32(0, head + 4, 4);
    crc = crc32(crc, data.data(), (uInt)data.size());
    unsigned char tail[4];
    PutBigEndian(tail, (uint32_t)crc);
    png.insert(png.end(), tail, tail + 4);
  };
  std::vector<unsigned char> ihdr(13, 0);
  PutBigEndian(ihdr.data(), w);
  PutBigEndian(ihdr.data() + 4, h);
  ihdr[8] = 8, ihdr[9] = 6;
  chunk("IHDR", ihdr);
  chunk("IDAT", {});
  chunk("IEND", {});
  return png;
}
}  // namespace

TEST(PngFailure, ShortOrForeignBlocks) {
  const auto good = SmallImage();
  EXPECT_EQ(LoadPngFromMemory(good.data(), 7), nullptr);
  const unsigned char notPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B};
  EXPECT_EQ(LoadPngFromMemory(notPng, 8), nullptr);
  EXPECT_EQ(LoadPngFromMemory(nullptr, 100), nullptr);
  EXPECT_EQ(LoadPngFromMemory(good.data(), -5), nullptr);
  std::unique_ptr<PIX_MemBitmap> whole(LoadPngFromMemory(good.data(), (int)good.size()));
  EXPECT_TRUE(whole);
}

TEST(PngFailure, EveryTruncationIsHandled) {
  const auto good = SmallImage();
  for (size_t n = 8; n < good.size(); ++n)
    ExpectNullOrWhole(std::vector<unsigned char>(good.begin(), good.begin() + n));
  // Cut inside the image data: the decoder runs out of data and fails.
  const std::vector<unsigned char> half(good.begin(), good.begin() + good.size() / 2);
  EXPECT_EQ(LoadPngFromMemory(half.data(), (int)half.size()), nullptr);
}

TEST(PngFailure, CorruptedBytesAreHandled) {
  const auto good = SmallImage();
  for (size_t i = 8; i < good.size(); ++i)
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
      auto bad = good;
      bad[i] ^= flip;
      ExpectNullOrWhole(bad);
    }
  // A damaged byte in the image data breaks its checksum.
  auto bad = good;
  bad[good.size() / 2] ^= 0x10;
  EXPECT_EQ(LoadPngFromMemory(bad.data(), (int)bad.size()), nullptr);
}

TEST(PngFailure, ImpossibleSizesAreRefused) {
  for (auto size : {std::make_pair(30000u, 30000u), std::make_pair(1000000u, 600u), std::make_pair(0u, 5u)}) {
    const auto png = ClaimedSize(size.first, size.second);
    EXPECT_EQ(LoadPngFromMemory(png.data(), (int)png.size()), nullptr) << size.first << "x" << size.second;
  }
  // A plausible size with no image data fails in the decoder, after the bitmap exists.
  const auto empty = ClaimedSize(64, 64);
  EXPECT_EQ(LoadPngFromMemory(empty.data(), (int)empty.size()), nullptr);
}

namespace {
std::vector<unsigned char> ReadWholeFile(const char* path) {
  std::vector<unsigned char> bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    unsigned char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}
}  // namespace

// Every prefix of a real artwork file: the first read the data cannot fill
// ends decoding, so no byte past the end is ever made up and the time spent is
// bounded by the data's length.
TEST(PngFailure, TruncatedArtworkStopsAtTheFirstShortRead) {
  const auto art = ReadWholeFile(VELLOX_TEST_ARTWORK_PNG);
  ASSERT_GT(art.size(), 100u) << VELLOX_TEST_ARTWORK_PNG;
  std::unique_ptr<PIX_IBitmap> whole;
  {
    PIX_PngSource source = {art.data(), (int)art.size(), nullptr, 0};
    whole.reset(DecodePngSource(&source, nullptr));
    ASSERT_TRUE(whole);
    EXPECT_EQ(source.shortReads, 0);
  }
  int refused = 0;
  for (size_t n = 0; n < art.size(); ++n) {
    PIX_PngSource source = {art.data(), (int)n, nullptr, 0};
    std::unique_ptr<PIX_IBitmap> bm(DecodePngSource(&source, nullptr));
    ASSERT_LE(source.shortReads, 1) << n;
    EXPECT_GE(source.left, 0) << n;
    if (bm) {
      // Only the closing chunk may be missing: the image itself is whole.
      EXPECT_EQ(source.shortReads, 0) << n;
      EXPECT_EQ(bm->Width(), whole->Width()) << n;
      EXPECT_EQ(bm->Height(), whole->Height()) << n;
    } else {
      EXPECT_EQ(source.shortReads, 1) << n;
      ++refused;
    }
  }
  EXPECT_GT(refused, (int)art.size() - 20);
}
