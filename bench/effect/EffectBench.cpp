// Cost of the chopper's block processing per stereo frame, next to two
// floors: a plain stereo gain loop (what any per-sample effect pays) and the
// bare smoother recursion (two dependent steps per frame, with the stores),
// which bounds the bit-exact chopper from below.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <utility>
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

__attribute__((noinline)) void StereoGain(const double* in0, const double* in1, double* out0, double* out1, double gain,
                                          int frames) {
  for (int i = 0; i < frames; ++i) {
    out0[i] = in0[i] * gain;
    out1[i] = in1[i] * gain;
  }
}

// z = a*z + tb twice per frame is a serial chain; nothing can beat it.
__attribute__((noinline)) double SmootherFloor(double* out0, double* out1, double a, double tb, double z, int frames) {
  for (int i = 0; i < frames; ++i) {
    z = a * z + tb;
    out0[i] = z;
    z = a * z + tb;
    out1[i] = z;
  }
  return z;
}

// Times the effect's block call on a steady stereo input.
template <typename Effect>
void TimeBlocks(benchmark::State& state, Effect& fx, int frames) {
  StereoBuffers buf(frames);
  double* ins[] = {buf.in0.data(), buf.in1.data()};
  double* outs[] = {buf.out0.data(), buf.out1.data()};
  for (auto _ : state) {
    fx.ProcessBlock(ins, outs, frames);
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, frames);
}

void BM_ProcessBlock(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  VelloxEffect<IEffectBase> fx;
  fx.LoadPreset(0);
  TimeBlocks(state, fx, frames);
}

// SYNC on, NOTE 1/8, with a host that plays at 120 BPM: each block comes
// with its song position, which the running cycle is checked against.
class PlayingHostEffect : public VelloxEffect<IEffectBase> {
public:
  void HostTransportInfo(HostTransport& transport) override {
    transport.tempo = 120.0;
    transport.quarterNotePosition = mQuarters;
    transport.tempoValid = transport.quarterNotesValid = transport.playing = true;
    transport.block = ++mBlock;
    mQuarters += mQuartersPerBlock;
  }
  double mQuartersPerBlock = 0.0;

private:
  double mQuarters = 0.0;
  uint32_t mBlock = 0;
};

void BM_ProcessBlockSynced(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  PlayingHostEffect fx;
  fx.LoadPreset(0);
  for (auto [index, value] : {std::pair<int, double>{kVelloxSync, 1.0}, {kVelloxNote, 5.0}}) {
    fx.GetParam(index)->SetValue(value);
    fx.HandleParamChange(index);
  }
  fx.mQuartersPerBlock = frames * 2.0 / fx.SampleRate();
  TimeBlocks(state, fx, frames);
}

// PATTERN on, played by the same host: sixteen swung steps of a bar with a
// stereo offset, so most pieces give the channels different levels.
void BM_ProcessBlockPattern(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  PlayingHostEffect fx;
  fx.LoadPreset(0);
  const std::pair<int, double> settings[] = {{kVelloxSync, 1.0},    {kVelloxNote, 12.0},     {kVelloxPattern, 1.0},
                                             {kVelloxSteps, 16.0},  {kVelloxGate, 60.0},     {kVelloxSwing, 33.0},
                                             {kVelloxOffset, 25.0}, {kVelloxStep1 + 3, 0.0}, {kVelloxStep1 + 6, 0.5}};
  for (auto [index, value] : settings) {
    fx.GetParam(index)->SetValue(value);
    fx.HandleParamChange(index);
  }
  fx.mQuartersPerBlock = frames * 2.0 / fx.SampleRate();
  TimeBlocks(state, fx, frames);
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

void BM_SmootherFloor(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  StereoBuffers buf(frames);
  double a = 0.9992878743953528, tb = 0.0007121256046471736, z = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    z = SmootherFloor(buf.out0.data(), buf.out1.data(), a, tb, z, frames);
    benchmark::DoNotOptimize(z);
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, frames);
}
}  // namespace

BENCHMARK(BM_ProcessBlock)->Arg(32)->Arg(64)->Arg(512)->Arg(4096)->Arg(8192);
BENCHMARK(BM_ProcessBlockSynced)->Arg(32)->Arg(64)->Arg(512)->Arg(4096)->Arg(8192);
BENCHMARK(BM_ProcessBlockPattern)->Arg(32)->Arg(64)->Arg(512)->Arg(4096)->Arg(8192);
BENCHMARK(BM_StereoGainFloor)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_SmootherFloor)->Arg(32)->Arg(64)->Arg(512)->Arg(4096)->Arg(8192);

BENCHMARK_MAIN();
