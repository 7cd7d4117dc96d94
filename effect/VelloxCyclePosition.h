#pragma once

#include <atomic>

#include "ChopperState.h"

// Where the audio stands in the gate's cycle, for the editor's playhead. The
// effect owns it; the audio thread stores the phase once per block, the
// editor loads it on its tick. A relaxed atomic: no lock, no allocation, and
// nothing of the editor's is written by the audio thread.
class VelloxCyclePosition {
public:
  static_assert(std::atomic<double>::is_always_lock_free, "the audio thread must never wait for the editor");

  void Publish(double phase) { mPhase.store(phase, std::memory_order_relaxed); }
  // 0 <= phase < 1, or -1 before the first block.
  double Phase() const { return mPhase.load(std::memory_order_relaxed); }

private:
  std::atomic<double> mPhase{-1.0};
};

// What the effect offers the editor besides its plug-in base.
class VelloxEditorSource {
public:
  virtual const VelloxCyclePosition& CyclePosition() const = 0;
  // User-interface thread: loads a factory program as the user picked it in
  // the editor, and tells the host as its binding requires. False when there
  // is no such program.
  virtual bool SelectProgramFromEditor(int index) = 0;

protected:
  ~VelloxEditorSource() = default;
};

// The phase of the next frame in the cycle that runs (the free one, or the
// synced one with SYNC on), as the cycle display draws it; -1 before the
// cycle has run.
double ChopperCyclePhase(const ChopperState& state);
