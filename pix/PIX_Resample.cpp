#include "PIX_Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "PIX_RowAccess.h"

namespace {

PixelWord* RowOf(const PIX_IBitmap& bm, int row) { return RowsFrom(&bm, bm.PixelBits(), row, 0).first; }

// For every destination index, the first source index and the normalised
// weights of the source samples it reads.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // `width` per destination index
  int width = 0;
};

// Shrinking averages the source area each destination pixel covers (sharper
// than a widened triangle); enlarging interpolates linearly.
Taps MakeTaps(int srcSize, int dstSize) {
  Taps taps;
  const double scale = double(dstSize) / srcSize;
  const double reach = scale < 1.0 ? 1.0 / scale : 1.0;  // source samples one destination pixel reads
  taps.width = int(std::ceil(reach)) + 2;
  taps.weights.assign(size_t(dstSize) * size_t(taps.width), 0.0f);
  for (int d = 0; d < dstSize; ++d) {
    float* w = &taps.weights[size_t(d) * size_t(taps.width)];
    int lo = 0, n = 0;
    double total = 0.0;
    if (scale < 1.0) {
      const double from = d / scale, to = (d + 1) / scale;
      lo = std::max(0, int(std::floor(from)));
      for (int s = lo; s < srcSize && s < to && n < taps.width; ++s, ++n) {
        w[n] = float(std::min<double>(s + 1, to) - std::max<double>(s, from));
        total += w[n];
      }
    } else {
      const double centre = std::min(std::max((d + 0.5) / scale - 0.5, 0.0), double(srcSize - 1));
      lo = int(std::floor(centre));
      const double t = centre - lo;
      w[n++] = float(1.0 - t);
      if (lo + 1 < srcSize) w[n++] = float(t);
      total = 1.0;
    }
    if (total <= 0.0) {
      n = 1;
      w[0] = 1.0f;
      total = 1.0;
    }
    for (int k = 0; k < n; ++k) w[k] = float(w[k] / total);
    taps.first.push_back(lo);
    taps.count.push_back(n);
  }
  return taps;
}

PixelWord Pack(const float* p) {
  const float a = std::min(255.0f, std::max(0.0f, p[3]));
  const int alpha = int(a + 0.5f);
  if (alpha == 0) return 0;
  auto channel = [&](float c) { return uint32_t(std::min(255.0f, std::max(0.0f, c * 255.0f / a)) + 0.5f); };
  return (uint32_t(alpha) << 24) | (channel(p[2]) << 16) | (channel(p[1]) << 8) | channel(p[0]);
}

}  // namespace

bool ResampleFrames(const PIX_IBitmap& src, int frames, PIX_MemBitmap& dst, int frameW, int frameH) {
  const int srcW = src.Width();
  const int srcH = frames > 0 ? src.Height() / frames : 0;
  if (frameW < 1 || frameH < 1 || srcW < 1 || srcH < 1 || !src.PixelBits()) {
    dst.SetSize(0, 0);
    return false;
  }
  dst.SetSize(frameW, frameH * frames);
  if (!dst.PixelBits()) return false;
  const Taps across = MakeTaps(srcW, frameW);
  const Taps down = MakeTaps(srcH, frameH);
  std::vector<float> rows(size_t(srcH) * size_t(frameW) * 4);  // one frame, scaled across
  for (int f = 0; f < frames; ++f) {
    for (int y = 0; y < srcH; ++y) {
      const PixelWord* in = RowOf(src, f * srcH + y);
      float* out = &rows[size_t(y) * size_t(frameW) * 4];
      for (int x = 0; x < frameW; ++x, out += 4) {
        const float* w = &across.weights[size_t(x) * size_t(across.width)];
        float b = 0, g = 0, r = 0, a = 0;
        for (int k = 0; k < across.count[size_t(x)]; ++k) {
          const PixelWord p = in[across.first[size_t(x)] + k];
          const float pa = float(p >> 24) * w[k];
          a += pa;
          b += float(p & 0xFF) * pa / 255.0f;
          g += float((p >> 8) & 0xFF) * pa / 255.0f;
          r += float((p >> 16) & 0xFF) * pa / 255.0f;
        }
        out[0] = b, out[1] = g, out[2] = r, out[3] = a;
      }
    }
    for (int y = 0; y < frameH; ++y) {
      PixelWord* out = RowOf(dst, f * frameH + y);
      const float* w = &down.weights[size_t(y) * size_t(down.width)];
      const int first = down.first[size_t(y)];
      for (int x = 0; x < frameW; ++x) {
        float sum[4] = {0, 0, 0, 0};
        for (int k = 0; k < down.count[size_t(y)]; ++k) {
          const float* p = &rows[(size_t(first + k) * size_t(frameW) + size_t(x)) * 4];
          for (int c = 0; c < 4; ++c) sum[c] += p[c] * w[k];
        }
        out[x] = Pack(sum);
      }
    }
  }
  return true;
}
