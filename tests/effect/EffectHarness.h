#pragma once

#include <cmath>
#include <vector>

#include "IEffectBase.h"
#include "VelloxEffect.h"

using TestEffect = VelloxEffect<IEffectBase>;

// Drives a Vellox effect with stereo blocks of constant input, the way the
// adapter does after initialisation (preset 0 loaded).
struct EffectHarness {
  TestEffect fx;
  std::vector<double> in0, in1, out0, out1;

  EffectHarness() { fx.LoadPreset(0); }

  void Set(int index, double plain) {
    fx.GetParam(index)->SetValue(plain);
    fx.HandleParamChange(index);
  }

  void Run(int frames, double x0 = 1.0, double x1 = 1.0) {
    const size_t n = static_cast<size_t>(frames > 0 ? frames : 0);
    in0.assign(n, x0);
    in1.assign(n, x1);
    out0.assign(n, 0.0);
    out1.assign(n, 0.0);
    double* ins[] = {in0.data(), in1.data()};
    double* outs[] = {out0.data(), out1.data()};
    fx.ProcessBlock(ins, outs, frames);
  }

  // The level the last frame aimed at, read back from the audio: with unit
  // input and gain the second smoother step gives out1 = a * out0 + level * b
  // (to some 1e-13; Level rounds it to the nearest 1/4096).
  double RawLevel() const {
    const ChopperSmoother& s = fx.Chopper().smoother;
    return (out1.back() - s.a * out0.back()) / s.b;
  }
  double Level() const { return std::nearbyint(RawLevel() * 4096.0) / 4096.0; }
};
