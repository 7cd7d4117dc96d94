// PNG decoding of arbitrary bytes from memory.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzRequire.h"
#include "PIX_Png.h"
#include "PIX_PngDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  std::unique_ptr<PIX_MemBitmap> loaded(LoadPngFromMemory(data, static_cast<int>(size)));

  // The decoder never reads past the data: the first read it cannot fill ends
  // decoding, and a decoded image needed none.
  PIX_PngSource source = {data, static_cast<int>(size), nullptr, 0};
  std::unique_ptr<PIX_IBitmap> decoded(size >= 8 ? DecodePngSource(&source, nullptr) : nullptr);
  FUZZ_REQUIRE(source.left >= 0 && source.left <= static_cast<int>(size), "%d bytes left of %zu", source.left, size);
  FUZZ_REQUIRE(source.shortReads <= 1, "%d reads past the end", source.shortReads);
  if (decoded) FUZZ_REQUIRE(source.shortReads == 0, "decoded an image from a read past the end");

  if (!loaded) return 0;
  // A decoded image is whole and the same whichever entry decoded it.
  FUZZ_REQUIRE(decoded != nullptr, "only the memory loader decoded it");
  const int w = loaded->Width(), h = loaded->Height();
  FUZZ_REQUIRE(w > 0 && h > 0 && loaded->PixelBits() != nullptr, "decoded a %dx%d image without pixels", w, h);
  FUZZ_REQUIRE(decoded->Width() == w && decoded->Height() == h, "two decodes disagree on the size");
  for (int y = 0; y < h; ++y) {
    const PixelWord* a = loaded->PixelBits() + (loaded->IsBottomUp() ? h - 1 - y : y) * loaded->RowSpan();
    const PixelWord* b = decoded->PixelBits() + (decoded->IsBottomUp() ? h - 1 - y : y) * decoded->RowSpan();
    for (int x = 0; x < w; ++x) FUZZ_REQUIRE(a[x] == b[x], "two decodes disagree at %d,%d", x, y);
  }
  return 0;
}
