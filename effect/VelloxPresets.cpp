#include "VelloxPresets.h"

#include "IEffectBase.h"
#include "VelloxParams.h"

namespace {

// One program: the values it gives, the rest at their defaults (BY off,
// OUTPUT 0 dB). Step levels in tenths, STEP 1 first.
struct Program {
  const char* name;
  double fade, chop, dry;
  bool sync;
  int note;  // NOTE entry: 5 "1/8", 8 "1/4", 11 "1/2", 12 "1 bar", 13 "2 bars", 14 "4 bars"
  bool pattern;
  int steps;
  int tenths[kVelloxMaxSteps];
  double gate, swing, offset;
  bool retrig;
};

constexpr Program kPrograms[kVelloxFactoryPresets] = {
    {"Default",
     5,
     0.22,
     0,
     false,
     8,
     false,
     8,
     {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
     50,
     0,
     0,
     false},
    {"Straight 8ths", 30, 0.22, 0, true, 12, true, 8, {10, 10, 10, 10, 10, 10, 10, 10}, 50, 0, 0, false},
    {"Straight 16ths",
     40,
     0.22,
     0,
     true,
     12,
     true,
     16,
     {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
     50,
     0,
     0,
     false},
    {"Triplet gate",
     30,
     0.22,
     0,
     true,
     12,
     true,
     12,
     {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
     60,
     0,
     0,
     false},
    {"Swung 16ths",
     40,
     0.22,
     0,
     true,
     12,
     true,
     16,
     {10, 6, 10, 6, 10, 6, 10, 6, 10, 6, 10, 6, 10, 6, 10, 6},
     55,
     33,
     0,
     false},
    {"Half-time pump", 8, 0.22, 0.2, true, 13, true, 4, {10, 10, 10, 10}, 75, 0, 0, false},
    {"Ping-pong", 30, 0.22, 0, true, 8, true, 2, {10, 0}, 90, 0, 50, false},
    {"Stutter", 50, 0.22, 0, true, 8, true, 8, {10, 10, 10, 10, 0, 10, 0, 10}, 40, 0, 0, false},
    {"Build-up", 20, 0.22, 0, true, 14, true, 16, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 7, 8, 9, 10, 10}, 50, 0, 0, false},
    {"Trance gate",
     40,
     0.22,
     0,
     true,
     12,
     true,
     16,
     {10, 0, 10, 10, 0, 10, 10, 0, 10, 0, 10, 10, 0, 10, 10, 10},
     70,
     0,
     0,
     false},
    {"Dotted 8ths",
     30,
     0.22,
     0,
     true,
     12,
     true,
     16,
     {10, 0, 0, 10, 0, 0, 10, 0, 0, 10, 0, 0, 10, 0, 10, 0},
     80,
     0,
     0,
     false},
    {"Free wobble", 12, 0.5, 0.1, false, 8, true, 4, {10, 5, 8, 3}, 60, 0, 25, false},
    {"Note stabs", 30, 0.22, 0, true, 11, true, 4, {10, 7, 5, 3}, 45, 0, 0, true},
};

void Set(IEffectBase& plug, int index, double value) {
  plug.GetParam(index)->SetValue(value);
  plug.HandleParamChange(index);
}

void Apply(IEffectBase& plug, const Program& p) {
  for (int i = 0; i < plug.NParams(); ++i) Set(plug, i, plug.GetParam(i)->Default());
  Set(plug, kVelloxFade, p.fade);
  Set(plug, kVelloxChop, p.chop);
  Set(plug, kVelloxDry, p.dry);
  Set(plug, kVelloxSync, p.sync ? 1.0 : 0.0);
  Set(plug, kVelloxNote, p.note);
  Set(plug, kVelloxPattern, p.pattern ? 1.0 : 0.0);
  Set(plug, kVelloxSteps, p.steps);
  for (int k = 0; k < kVelloxMaxSteps; ++k) Set(plug, kVelloxStep1 + k, k < p.steps ? p.tenths[k] / 10.0 : 1.0);
  Set(plug, kVelloxGate, p.gate);
  Set(plug, kVelloxSwing, p.swing);
  Set(plug, kVelloxOffset, p.offset);
  Set(plug, kVelloxRetrig, p.retrig ? 1.0 : 0.0);
}

}  // namespace

void DefineVelloxPresets(IEffectBase& plug) {
  for (const Program& p : kPrograms) {
    Apply(plug, p);
    plug.CaptureFreePreset(p.name);
  }
  for (int i = 0; i < plug.NParams(); ++i) Set(plug, i, plug.GetParam(i)->Default());
}
