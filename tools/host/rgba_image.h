#pragma once
// A picture as 8-bit RGBA rows, top row first, and its PNG file form.
#include <cstdint>
#include <string>
#include <vector>

namespace vellox::host {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 4 bytes: R, G, B, A

  void Resize(int w, int h);
  // 0x00RRGGBB of the pixel at (x, y); the caller keeps x, y inside.
  uint32_t Rgb(int x, int y) const;
};

// Paths are UTF-8. False with `error` set on failure.
bool WritePngFile(const RgbaImage& image, const std::string& path, std::string& error);
bool ReadPngFile(const std::string& path, RgbaImage& image, std::string& error);

}  // namespace vellox::host
