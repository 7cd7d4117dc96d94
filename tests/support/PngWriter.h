// Builds PNG images in memory with libpng's writer, so the decoder tests need
// no binary fixtures.
#pragma once

#include <png.h>

#include <vector>

struct PngImage {
  int width = 0, height = 0, depth = 8, colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<unsigned char> transparency;  // tRNS alphas for palette images
  bool hasKey = false;                      // tRNS key colour for grey/RGB images
  png_color_16 key = {};
  std::vector<unsigned char> rows;  // packed rows as libpng expects them
  // Contents of strip chunks ("stRP") written right after the header, e.g.
  // {{0, 0, 0, 3}} for a strip of 3 frames side by side.
  std::vector<std::vector<unsigned char>> stripChunks;
};

std::vector<unsigned char> EncodePng(const PngImage& image);
