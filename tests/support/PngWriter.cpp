#include "PngWriter.h"

#include <cstring>

namespace {
void Append(png_structp png, png_bytep data, size_t n) {
  auto* out = (std::vector<unsigned char>*)png_get_io_ptr(png);
  out->insert(out->end(), data, data + n);
}
void Flush(png_structp) {}
}  // namespace

std::vector<unsigned char> EncodePng(const PngImage& image) {
  std::vector<unsigned char> out;
  std::vector<png_bytep> rowPointers(image.height);
  const size_t rowBytes = image.rows.size() / (image.height ? image.height : 1);
  for (int i = 0; i < image.height; ++i) rowPointers[i] = (png_bytep)image.rows.data() + i * rowBytes;

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_IHDR(png, info, image.width, image.height, image.depth, image.colourType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty()) png_set_PLTE(png, info, image.palette.data(), (int)image.palette.size());
  if (!image.transparency.empty())
    png_set_tRNS(png, info, image.transparency.data(), (int)image.transparency.size(), nullptr);
  if (image.hasKey) png_set_tRNS(png, info, nullptr, 0, &image.key);
  std::vector<png_unknown_chunk> chunks(image.stripChunks.size());
  for (size_t i = 0; i < chunks.size(); ++i) {
    std::memcpy(chunks[i].name, "stRP", 5);
    chunks[i].data = (png_bytep)image.stripChunks[i].data();
    chunks[i].size = image.stripChunks[i].size();
    chunks[i].location = PNG_HAVE_IHDR;
  }
  if (!chunks.empty()) {
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, (png_const_bytep) "stRP", 1);
    png_set_unknown_chunks(png, info, chunks.data(), (int)chunks.size());
  }
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}
