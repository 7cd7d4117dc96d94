// Cost of the chopper's block processing per stereo frame, next to a plain
// stereo gain loop as the floor any per-sample effect has to pay.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "IEffectBase.h"
#include "VelloxEffect.h"

namespace {
struct StereoBuffers {
  explicit StereoBuffers(int frames) : in0(frames), in1(frames), out0(frames), out1(frames) {
    for (int i = 0; i < frames; ++i) {
      in0[static_cast<size_t>(i)] = std::sin(0.01 * i);
      in1[static_cast<size_t>(i)] = std::cos(0.01 * i);
    }
  }
  std::vector<double> in0, in1, out0, out1;
};

void ReportPerFrame(benchmark::State& state, int frames) {
  state.SetItemsProcessed(state.iterations() * frames);
  state.counters["time_per_frame"] = benchmark::Counter(
      static_cast<double>(frames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

__attribute__((noinline)) void StereoGain(const double* in0, const double* in1, double* out0, double* out1,
                                          double gain, int frames) {
  for (int i = 0; i < frames; ++i) {
    out0[i] = in0[i] * gain;
    out1[i] = in1[i] * gain;
  }
}

void BM_ProcessBlock(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  VelloxEffect<IEffectBase> fx;
  fx.LoadPreset(0);
  StereoBuffers buf(frames);
  double* ins[] = {buf.in0.data(), buf.in1.data()};
  double* outs[] = {buf.out0.data(), buf.out1.data()};
  for (auto _ : state) {
    fx.ProcessBlock(ins, outs, frames);
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, frames);
}

void BM_StereoGainFloor(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  StereoBuffers buf(frames);
  double gain = 0.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(gain);
    StereoGain(buf.in0.data(), buf.in1.data(), buf.out0.data(), buf.out1.data(), gain, frames);
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, frames);
}
}  // namespace

BENCHMARK(BM_ProcessBlock)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_StereoGainFloor)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);

BENCHMARK_MAIN();
