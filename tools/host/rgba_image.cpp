#include "rgba_image.h"

#include <png.h>

#include <filesystem>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vellox::host {

namespace {

std::filesystem::path Utf8Path(const std::string& text) { return std::filesystem::u8path(text); }

}  // namespace

void RgbaImage::Resize(int w, int h) {
  width = w;
  height = h;
  pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
}

uint32_t RgbaImage::Rgb(int x, int y) const {
  const uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
  return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
}

// Encoding goes through memory so that the file itself is opened with a
// UTF-8-aware path on every platform.
bool WritePngFile(const RgbaImage& image, const std::string& path, std::string& error) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4) {
    error = "there is no picture to write";
    return false;
  }
  png_image info{};
  info.version = PNG_IMAGE_VERSION;
  info.width = static_cast<png_uint_32>(image.width);
  info.height = static_cast<png_uint_32>(image.height);
  info.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&info, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) {
    error = std::string("cannot encode the picture: ") + info.message;
    return false;
  }
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&info, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
    error = std::string("cannot encode the picture: ") + info.message;
    return false;
  }
  errno = 0;
  std::ofstream file(Utf8Path(path), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
  file.close();
  if (!file) {
    error = "cannot write " + path + (errno ? std::string(": ") + std::strerror(errno) : std::string());
    return false;
  }
  return true;
}

bool ReadPngFile(const std::string& path, RgbaImage& image, std::string& error) {
  std::ifstream file(Utf8Path(path), std::ios::binary);
  if (!file) {
    error = "cannot read " + path;
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  png_image info{};
  info.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&info, bytes.data(), bytes.size())) {
    error = path + " is not a PNG picture";
    return false;
  }
  info.format = PNG_FORMAT_RGBA;
  image.Resize(static_cast<int>(info.width), static_cast<int>(info.height));
  if (!png_image_finish_read(&info, nullptr, image.pixels.data(), 0, nullptr)) {
    error = std::string("cannot decode ") + path + ": " + info.message;
    png_image_free(&info);
    return false;
  }
  return true;
}

}  // namespace vellox::host
