// Decoding a 101 x 5917 RGBA filmstrip: the loader against libpng's simplified API.
#include <benchmark/benchmark.h>
#include <png.h>

#include <vector>

#include "BenchImages.h"
#include "PIX_Png.h"

namespace {
constexpr int kWidth = 101, kHeight = 5917;

const std::vector<unsigned char>& Strip() {
  static const std::vector<unsigned char> bytes = EncodeFilmstrip(kWidth, kHeight);
  return bytes;
}

void BM_LoadPngFromMemory(benchmark::State& state) {
  const auto& png = Strip();
  for (auto _ : state) {
    PIX_MemBitmap* bm = LoadPngFromMemory(png.data(), (int)png.size());
    if (!bm) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(bm);
    delete bm;
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_PngImageFinishRead(benchmark::State& state) {
  const auto& png = Strip();
  std::vector<unsigned char> pixels;
  for (auto _ : state) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) state.SkipWithError("begin failed");
    image.format = PNG_FORMAT_BGRA;
    pixels.resize(PNG_IMAGE_SIZE(image));  // allocation per decode, as the loader does
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(pixels.data());
    std::vector<unsigned char>().swap(pixels);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
}  // namespace

BENCHMARK(BM_LoadPngFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngImageFinishRead)->Unit(benchmark::kMillisecond);
