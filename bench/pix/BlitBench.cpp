// Compositing throughput: the source-alpha copy that draws all artwork, against
// pixman's OVER of the same size, and the plain copy against memcpy.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>

#include "BenchImages.h"
#include "PIX_Blit.h"
#include "PIX_CopyRow.h"

namespace {

enum Content { Knob = 0, Noise = 1 };

std::unique_ptr<PIX_MemBitmap> Source(int w, int h, int content) {
  std::unique_ptr<PIX_MemBitmap> bm(new PIX_MemBitmap);
  bm->SetSize(w, h);
  if (content == Knob)
    PaintKnobFrame(bm->PixelBits(), bm->RowSpan(), w, h);
  else
    PaintNoise(bm->PixelBits(), bm->RowSpan(), w, h);
  return bm;
}

std::unique_ptr<PIX_MemBitmap> Backdrop(int w, int h) {
  std::unique_ptr<PIX_MemBitmap> bm(new PIX_MemBitmap);
  bm->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm->PixelBits()[y * bm->RowSpan() + x] = 0xFF000000u | (x * 2654435761u >> 8);
  return bm;
}

void Report(benchmark::State& state, int w, int h) { state.SetItemsProcessed(state.iterations() * (int64_t)w * h); }

// Composites a source of the given content over the backdrop with draw(dest, src).
template <class Draw>
void RunOver(benchmark::State& state, Draw draw) {
  const int w = (int)state.range(0), h = (int)state.range(1);
  auto src = Source(w, h, (int)state.range(2));
  auto dest = Backdrop(w, h);
  for (auto _ : state) {
    draw(dest.get(), src.get());
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_BlitSourceAlpha(benchmark::State& state) {
  RunOver(state, [](PIX_MemBitmap* dest, PIX_MemBitmap* src) {
    BlitBitmap(dest, src, 0, 0, nullptr, 1.0f, ModeUseSourceAlpha);
  });
}

// The SSE2 row loop alone, for processors without AVX2.
void BM_CopyRowSse2(benchmark::State& state) {
  if (!CopySourceAlphaRowSse2) {
    state.SkipWithError("no SSE2 variant");
    return;
  }
  RunOver(state, [](PIX_MemBitmap* dest, PIX_MemBitmap* src) {
    for (int y = 0; y < src->Height(); ++y)
      CopySourceAlphaRowSse2(dest->PixelBits() + y * dest->RowSpan(), src->PixelBits() + y * src->RowSpan(),
                             src->Width());
  });
}

void BM_PixmanOver(benchmark::State& state) {
  const int w = (int)state.range(0), h = (int)state.range(1);
  auto src = Source(w, h, (int)state.range(2));
  auto dest = Backdrop(w, h);
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, (uint32_t*)src->PixelBits(), src->RowSpan() * 4);
  pixman_image_t* d =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, (uint32_t*)dest->PixelBits(), dest->RowSpan() * 4);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Report(state, w, h);
}

void BM_BlitCopy(benchmark::State& state) {
  const int w = (int)state.range(0), h = (int)state.range(1);
  auto src = Source(w, h, Noise);
  auto dest = Backdrop(w, h);
  for (auto _ : state) {
    BlitBitmap(dest.get(), src.get(), 0, 0, nullptr, 1.0f, ModeCopy);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_MemcpyRows(benchmark::State& state) {
  const int w = (int)state.range(0), h = (int)state.range(1);
  auto src = Source(w, h, Noise);
  auto dest = Backdrop(w, h);
  for (auto _ : state) {
    for (int y = 0; y < h; ++y)
      std::memcpy(dest->PixelBits() + y * dest->RowSpan(), src->PixelBits() + y * src->RowSpan(), w * 4);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

// {width, height, content}: the editor surface and one knob frame.
void Sizes(benchmark::internal::Benchmark* b) {
  for (int content : {Knob, Noise}) {
    b->Args({784, 184, content});
    b->Args({101, 97, content});
  }
  b->ArgNames({"w", "h", "noise"});
}

void CopySizes(benchmark::internal::Benchmark* b) {
  b->Args({784, 184});
  b->Args({101, 97});
  b->ArgNames({"w", "h"});
}

}  // namespace

BENCHMARK(BM_BlitSourceAlpha)->Apply(Sizes);
BENCHMARK(BM_CopyRowSse2)->Apply(Sizes);
BENCHMARK(BM_PixmanOver)->Apply(Sizes);
BENCHMARK(BM_BlitCopy)->Apply(CopySizes);
BENCHMARK(BM_MemcpyRows)->Apply(CopySizes);
