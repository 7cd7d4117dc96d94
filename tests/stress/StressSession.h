#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "EffectRig.h"

// What a stress run saw. Frame times are thread CPU time per frame of the
// blocks long enough to measure (512 frames or more).
struct StressFigures {
  long blocks = 0;
  long frames = 0;
  long setups = 0;
  long stateRestores = 0;
  long bypassToggles = 0;
  long nonFiniteOutputs = 0;
  long subnormalOutputs = 0;
  long subnormalSmootherStates = 0;
  long bypassMismatches = 0;  // bypassed output differing from the input, or the host's bypass reading wrong
  long audioAllocations = 0;
  std::vector<double> nsPerFrame;
  // Wall time the audio thread waited for the plug-in lock, per block.
  std::vector<double> lockWaitUs;

  double MedianNsPerFrame() const;
  double LockWaitUs(double quantile) const;
  double WorstNsPerFrame() const;
  std::string Summary() const;
};

// One effect driven as the strictest hosts drive it, from a seeded random
// sequence: random block sizes, sample rates from 8 kHz to 384 kHz, every
// parameter automated in every block, the host's bypass toggled, deactivate /
// set-up / activate cycles and state saved and restored between blocks.
class StressSession {
public:
  // toggleBypass false keeps the host's bypass off, for runs where another
  // thread restores states (which carry the bypass).
  explicit StressSession(uint32_t seed, bool restoreState = true, bool toggleBypass = true);

  // Runs blocks on the calling thread (the audio thread) until `blocks` ran or
  // `deadline` (seconds of wall time; 0 for none) passed.
  void Run(long blocks, double deadline = 0.0);

  EffectRig rig;
  StressFigures figures;

private:
  void SetupCycle();
  template <class Sample>
  void ProcessBlock(int frames);
  void FillInput(int frames);

  std::mt19937 mRandom;
  bool mRestoreState;
  bool mToggleBypass;
  bool mBypassed = false;
  bool mFreshSetup = false;
  int32_t mSampleSize = 0;
  int mChannels = 2;
  int mMaxBlock = 0;
  long mSignalFrame = 0;
  std::vector<std::vector<double>> mInput;
  HostBus<float> mIn32, mOut32;
  HostBus<double> mIn64, mOut64;
};
