#include "BenchImages.h"

#include "PngWriter.h"

#include <cmath>
#include <cstdint>

void PaintKnobFrame(PixelWord* pixels, int span, int w, int h) {
  const float cx = w / 2.0f, cy = h / 2.0f, radius = (w < h ? w : h) * 0.42f;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      float cover = radius + 0.5f - d;
      cover = cover < 0 ? 0 : (cover > 1 ? 1 : cover);
      const int a = (int)(cover * 255.0f + 0.5f);
      const int shade = 60 + (int)(120.0f * (1.0f - dy / (2 * radius)));
      pixels[y * span + x] = ((PixelWord)a << 24) | ((PixelWord)(shade & 0xFF) << 16) |
                             ((PixelWord)((shade + 20) & 0xFF) << 8) | (PixelWord)((shade / 2) & 0xFF);
    }
}

void PaintNoise(PixelWord* pixels, int span, int w, int h) {
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      pixels[y * span + x] = seed;
    }
}

std::vector<unsigned char> EncodeFilmstrip(int w, int h) {
  // Frames of w x w stacked vertically, each with a marker line at a different angle.
  std::vector<PixelWord> words((size_t)w * h);
  for (int top = 0; top < h; top += w) {
    const int rows = top + w <= h ? w : h - top;
    PaintKnobFrame(&words[(size_t)top * w], w, w, rows);
    const float angle = top * 0.01f;
    for (int k = 0; k < w / 3 && rows == w; ++k) {
      const int x = w / 2 + (int)(k * std::cos(angle)), y = w / 2 + (int)(k * std::sin(angle));
      words[(size_t)(top + y) * w + x] = 0xFFFFFFFF;
    }
  }
  PngImage image;
  image.width = w, image.height = h;
  image.rows.resize(words.size() * 4);
  for (size_t i = 0; i < words.size(); ++i) {
    image.rows[i * 4 + 0] = (unsigned char)(words[i] >> 16);
    image.rows[i * 4 + 1] = (unsigned char)(words[i] >> 8);
    image.rows[i * 4 + 2] = (unsigned char)words[i];
    image.rows[i * 4 + 3] = (unsigned char)(words[i] >> 24);
  }
  return EncodePng(image);
}
