#include "PIX_PngDecode.h"

#include <png.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// A read the remaining data cannot fill is an error: handing libpng made-up
// bytes instead lets a damaged length field keep it decoding for seconds.
void ReadFromMemory(png_structp png, png_bytep out, size_t n) {
  PIX_PngSource* src = (PIX_PngSource*)png_get_io_ptr(png);
  if (n > (size_t)src->left) {
    ++src->shortReads;
    png_error(png, "PNG data ends early");
  }
  std::memcpy(out, src->next, n);
  src->next += n;
  src->left -= (int)n;
}

// Failures come back as a null bitmap; nothing is printed into the host's
// console.
void ReportError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

void RequestArgbRows(png_structp png, png_infop info) {
  png_uint_32 width, height;
  int depth, colourType;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

// Rows arrive as bytes A, R, G, B; pixels are stored as the word 0xAARRGGBB,
// which is the byte-reversed little-endian word.
void ArgbBytesToWords(PixelWord* row, int n) {
  int i = 0;
#ifdef __SSE2__
  for (; i + 4 <= n; i += 4) {
    __m128i v = _mm_loadu_si128((const __m128i*)(row + i));
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
    _mm_storeu_si128((__m128i*)(row + i), v);
  }
#endif
  for (; i < n; ++i) {
    const unsigned char* p = (const unsigned char*)(row + i);
    row[i] = ((PixelWord)p[0] << 24) | ((PixelWord)p[1] << 16) | ((PixelWord)p[2] << 8) | p[3];
  }
}

// The number of frames a strip chunk before the image data gives: 1 without
// one, 0 (no image) for a malformed or repeated one.
png_uint_32 StripFrames(png_structp png, png_infop info) {
  png_unknown_chunkp chunks = nullptr;
  const int count = png_get_unknown_chunks(png, info, &chunks);
  png_uint_32 frames = 1;
  int seen = 0;
  for (int i = 0; i < count; ++i) {
    if (std::memcmp(chunks[i].name, kPngStripChunk, 4) != 0) continue;
    const png_byte* d = chunks[i].data;
    if (chunks[i].size != 4 || ++seen > 1) return 0;
    frames = png_uint_32(d[0]) << 24 | png_uint_32(d[1]) << 16 | png_uint_32(d[2]) << 8 | d[3];
  }
  return frames;
}

}  // namespace

bool StackedStripSize(uint32_t width, uint32_t height, uint32_t frames, int* stackedWidth, int* stackedHeight) {
  if (width == 0 || height == 0 || frames == 0 || width % frames != 0) return false;
  const uint64_t stacked = uint64_t(height) * frames;
  if (width > uint32_t(INT_MAX) || stacked > uint64_t(INT_MAX)) return false;
  *stackedWidth = int(width / frames);
  *stackedHeight = int(stacked);
  return true;
}

// libpng reports errors by longjmp back into this function, so every resource
// here is a plain pointer (no destructors are skipped) and the ones changed
// after setjmp are volatile.
PIX_IBitmap* DecodePngSource(PIX_PngSource* source, PIX_IBitmap* target) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportError, IgnoreWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  PIX_IBitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  png_bytep volatile stripRow = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete created;
    std::free(rows);
    std::free(stripRow);
    return nullptr;
  }
  // Only the strip chunk is kept of the chunks libpng does not know.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, (png_const_bytep)kPngStripChunk, 1);

  if (source->file)
    png_init_io(png, source->file);
  else
    png_set_read_fn(png, source, ReadFromMemory);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const png_uint_32 frames = StripFrames(png, info);
  RequestArgbRows(png, info);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  // What the bitmap holds: the stored image, or its frames stacked.
  int outWidth = 0, outHeight = 0;
  const bool usable = StackedStripSize(width, height, frames, &outWidth, &outHeight) &&
                      (frames == 1 || png_get_interlace_type(png, info) == PNG_INTERLACE_NONE);
  PIX_IBitmap* bm = target;
  if (!bm) {
    bm = created = new (std::nothrow) PIX_MemBitmap;
    if (bm && usable) bm->SetSize(outWidth, outHeight);
  } else if (usable) {
    bm->SetSize(outWidth, outHeight);
  }
  // A size the bitmap could not take (too large, allocation failure) fails the
  // load, as does any transformation result other than 4 bytes per pixel.
  const bool fits = usable && bm && bm->PixelBits() && bm->Width() == outWidth && bm->Height() == outHeight &&
                    bm->RowSpan() >= bm->Width() && png_get_rowbytes(png, info) == (size_t)width * 4;
  if (fits) rows = (png_bytep*)std::malloc(sizeof(png_bytep) * outHeight);
  if (fits && frames > 1 && rows) stripRow = (png_bytep)std::malloc((size_t)width * 4);
  if (!rows || (frames > 1 && !stripRow)) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete created;
    std::free(rows);
    return nullptr;
  }

  const ptrdiff_t span = bm->RowSpan();
  PixelWord* first = bm->PixelBits();
  ptrdiff_t step = span;
  if (bm->IsBottomUp()) {
    first += (ptrdiff_t)(outHeight - 1) * span;
    step = -span;
  }
  for (int i = 0; i < outHeight; ++i) rows[i] = (png_bytep)(first + (ptrdiff_t)i * step);

  if (frames == 1) {
    png_read_image(png, rows);
  } else {
    // Row y of frame f is stored as the f-th piece of stored row y.
    const size_t pieceBytes = (size_t)outWidth * 4;
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, stripRow, nullptr);
      for (png_uint_32 f = 0; f < frames; ++f) std::memcpy(rows[f * height + y], stripRow + f * pieceBytes, pieceBytes);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(stripRow);

  for (int i = 0; i < outHeight; ++i) ArgbBytesToWords((PixelWord*)rows[i], outWidth);
  std::free(rows);
  return bm;
}
