#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A PNG decoded to 8-bit RGBA rows exactly as stored (no gamma, no
// premultiplication), together with the header fields the file declared. A
// strip stored with its frames side by side ("stRP" chunk) has them stacked
// top to bottom, as the editor draws them: width and height are then those
// of the stacked strip.
struct DecodedPng {
  bool ok = false;
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 0;
  int colorType = 0;
  uint32_t framesSideBySide = 1;  // as the strip chunk gave them
  std::vector<uint8_t> rgba;      // width * height * 4 bytes, top row first

  const uint8_t* Pixel(uint32_t x, uint32_t y) const { return &rgba[(size_t(y) * width + x) * 4]; }
  uint8_t Alpha(uint32_t x, uint32_t y) const { return Pixel(x, y)[3]; }
};

// Decodes a complete PNG file held in memory; ok is false on any error or
// when the image is not 8-bit RGBA.
DecodedPng DecodePng(const unsigned char* data, int size);
