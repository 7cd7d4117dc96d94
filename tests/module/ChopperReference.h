#pragma once
// The chopper's documented algorithm, written out frame by frame and
// independently of the module, so that its output can be checked sample for
// sample whatever block sizes the module is given.
#include <cstdint>

namespace vellox::test {

struct ChopperReference {
  explicit ChopperReference(double sampleRate) : rate(sampleRate) {}

  // Parameter values in their own units, as the effect derives them.
  double fade = 5.0;
  double chop = 0.22;
  double dry = 0.0;
  double gain = 1.0;
  bool effectBypass = false;  // the BY switch

  // Processes one stereo block; in1 may be a silent buffer for mono.
  void Block(const double* in0, const double* in1, double* out0, double* out1, int frames);

  // The level target of the frame that was processed last.
  double target = 1.0;

  double rate;
  // Position of the next frame: base + count, with count the frames since
  // the last wrap.
  double base = 0.0;
  int64_t count = 0;
  double a = 0.0;
  double b = 1.0;
  double z = 0.0;
};

}  // namespace vellox::test
