#include "DecodedPng.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace {

struct MemoryReader {
  const unsigned char* next;
  size_t left;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->left) png_error(png, "read past the end");
  std::memcpy(out, reader->next, count);
  reader->next += count;
  reader->left -= count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Kept apart from DecodePng so that no object with a destructor lives in the
// frame that setjmp returns to.
bool ReadImage(png_structp png, png_infop info, DecodedPng& out, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, color = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &color, nullptr, nullptr, nullptr);
  png_unknown_chunkp chunks = nullptr;
  const int chunkCount = png_get_unknown_chunks(png, info, &chunks);
  if (chunkCount > 1 || (chunkCount == 1 && chunks[0].size != 4)) return false;
  png_uint_32 frames = 1;
  if (chunkCount == 1) frames = png_get_uint_32(chunks[0].data);
  if (frames == 0 || width % frames != 0) return false;
  out.framesSideBySide = frames;
  out.width = width / frames;
  out.height = height * frames;
  out.bitDepth = depth;
  out.colorType = color;
  if (depth != 8 || color != PNG_COLOR_TYPE_RGB_ALPHA) return true;  // header only
  std::vector<uint8_t> stored(size_t(width) * height * 4);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = &stored[size_t(y) * width * 4];
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  // Stored row y holds row y of every frame, left to right.
  const size_t pieceBytes = size_t(out.width) * 4;
  out.rgba.resize(stored.size());
  for (png_uint_32 y = 0; y < height; ++y)
    for (png_uint_32 f = 0; f < frames; ++f)
      std::memcpy(&out.rgba[(size_t(f) * height + y) * pieceBytes], rows[y] + f * pieceBytes, pieceBytes);
  out.ok = true;
  return true;
}

}  // namespace

DecodedPng DecodePng(const unsigned char* data, int size) {
  DecodedPng out;
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
  if (!png) return out;
  png_infop info = png_create_info_struct(png);
  MemoryReader reader{data, size_t(size)};
  std::vector<png_bytep> rows;
  if (info) {
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, (png_const_bytep) "stRP", 1);
    if (!ReadImage(png, info, out, rows)) {
      out.ok = false;
      out.rgba.clear();
    }
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return out;
}
