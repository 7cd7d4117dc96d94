#include "StressSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "AudioThreadAllocations.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const int kCapacity = 8192;
const int kTimedFrames = 512;

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

bool IsSubnormal(double v) { return std::fpclassify(v) == FP_SUBNORMAL; }
bool IsSubnormal(float v) { return std::fpclassify(v) == FP_SUBNORMAL; }

}  // namespace

double StressFigures::MedianNsPerFrame() const {
  if (nsPerFrame.empty()) return 0.0;
  std::vector<double> sorted = nsPerFrame;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  return sorted[sorted.size() / 2];
}

double StressFigures::WorstNsPerFrame() const {
  return nsPerFrame.empty() ? 0.0 : *std::max_element(nsPerFrame.begin(), nsPerFrame.end());
}

double StressFigures::LockWaitUs(double quantile) const {
  if (lockWaitUs.empty()) return 0.0;
  std::vector<double> sorted = lockWaitUs;
  const size_t k = std::min(sorted.size() - 1, static_cast<size_t>(quantile * static_cast<double>(sorted.size())));
  std::nth_element(sorted.begin(), sorted.begin() + k, sorted.end());
  return sorted[k];
}

std::string StressFigures::Summary() const {
  char text[640];
  std::snprintf(text, sizeof text,
                "%ld blocks, %ld frames, %ld set-ups, %ld state restores, %ld bypass toggles; "
                "per frame: median %.1f ns, worst %.1f ns (%.1fx); non-finite %ld, subnormal outputs %ld, "
                "subnormal smoother states %ld, bypass mismatches %ld, audio-thread allocations %ld; "
                "wait for the plug-in lock: 99.9th percentile %.1f us, longest %.1f us",
                blocks, frames, setups, stateRestores, bypassToggles, MedianNsPerFrame(), WorstNsPerFrame(),
                MedianNsPerFrame() > 0 ? WorstNsPerFrame() / MedianNsPerFrame() : 0.0, nonFiniteOutputs,
                subnormalOutputs, subnormalSmootherStates, bypassMismatches, audioAllocations, LockWaitUs(0.999),
                LockWaitUs(1.0));
  return text;
}

StressSession::StressSession(uint32_t seed, bool restoreState, bool toggleBypass)
    : mRandom(seed),
      mRestoreState(restoreState),
      mToggleBypass(toggleBypass),
      mInput(2, std::vector<double>(kCapacity)),
      mIn32(2, kCapacity),
      mOut32(2, kCapacity),
      mIn64(2, kCapacity),
      mOut64(2, kCapacity) {
  figures.nsPerFrame.reserve(1 << 16);
  figures.lockWaitUs.reserve(1 << 16);
  SetupCycle();
}

void StressSession::SetupCycle() {
  static const double kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 384000};
  const double rate = std::uniform_int_distribution<int>(0, 3)(mRandom) == 0
                          ? std::uniform_real_distribution<double>(8000.0, 384000.0)(mRandom)
                          : kRates[std::uniform_int_distribution<int>(0, 11)(mRandom)];
  // Maximum block sizes spread evenly over the powers of two 16..8192.
  mMaxBlock = static_cast<int>(std::exp2(std::uniform_real_distribution<double>(4.0, 13.0)(mRandom)));
  mSampleSize = std::uniform_int_distribution<int>(0, 1)(mRandom) ? kSample64 : kSample32;
  mChannels = std::uniform_int_distribution<int>(0, 3)(mRandom) == 0 ? 1 : 2;

  rig.component->setActive(false);
  SpeakerArrangement arr = mChannels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
  rig.processor->setBusArrangements(&arr, 1, &arr, 1);
  ProcessSetup setup{kRealtime, mSampleSize, mMaxBlock, rate};
  rig.processor->setupProcessing(setup);
  rig.component->activateBus(kAudio, kInput, 0, true);
  rig.component->activateBus(kAudio, kOutput, 0, true);
  rig.component->setActive(true);
  ++figures.setups;
  mFreshSetup = true;
  // The host's bypass outlasts the set-up.
  if (rig.controller->getParamNormalized(kBypassParamId) != (mBypassed ? 1.0 : 0.0)) ++figures.bypassMismatches;
}

void StressSession::FillInput(int frames) {
  // Mostly a signal, sometimes silence: both are normal input.
  const bool silent = std::uniform_int_distribution<int>(0, 9)(mRandom) == 0;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i) mInput[c][i] = silent ? 0.0 : TestSignal(c, mSignalFrame + i);
  mSignalFrame += frames;
}

template <class Sample>
void StressSession::ProcessBlock(int frames) {
  HostBus<Sample>& in = *[this] {
    if constexpr (sizeof(Sample) == 8)
      return &mIn64;
    else
      return &mIn32;
  }();
  HostBus<Sample>& out = *[this] {
    if constexpr (sizeof(Sample) == 8)
      return &mOut64;
    else
      return &mOut32;
  }();
  for (int c = 0; c < mChannels; ++c)
    for (int i = 0; i < frames; ++i) in.samples[c][i] = static_cast<Sample>(mInput[c][i]);
  in.buffers.numChannels = mChannels;
  out.buffers.numChannels = mChannels;

  // Every parameter moves in every block; now and then the host bypasses.
  FakeParamChanges changes;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int id = 0; id < rig.effect->NParams(); ++id)
    changes.Add(static_cast<ParamID>(id), {{0, unit(mRandom)}, {std::max(frames - 1, 0), unit(mRandom)}});
  // Like a host, the bypass is sent only when it changes.
  if (std::uniform_int_distribution<int>(0, 49)(mRandom) == 0 && mToggleBypass) {
    mBypassed = !mBypassed;
    changes.Add(kBypassParamId, {{0, mBypassed ? 1.0 : 0.0}});
    ++figures.bypassToggles;
  }

  ProcessData data = MakeProcessData(mSampleSize, frames, &in.buffers, 1, &out.buffers, 1);
  data.inputParameterChanges = &changes;
  SetInsideAudioCall(true);
  // The lock is taken here first, and again (re-entrantly) inside process, to
  // time how long the audio thread waits for it.
  const auto waitStart = std::chrono::steady_clock::now();
  PlugLock hold(rig.effect->Mutex());
  const double waited = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - waitStart).count();
  const double start = ThreadSeconds();
  rig.Process(data);
  const double seconds = ThreadSeconds() - start;
  SetInsideAudioCall(false);
  if (figures.lockWaitUs.size() < figures.lockWaitUs.capacity()) figures.lockWaitUs.push_back(waited);
  // The first block after a set-up touches fresh buffers: not a steady-state figure.
  if (frames >= kTimedFrames && !mFreshSetup && figures.nsPerFrame.size() < figures.nsPerFrame.capacity())
    figures.nsPerFrame.push_back(1e9 * seconds / frames);

  for (int c = 0; c < mChannels; ++c)
    for (int i = 0; i < frames; ++i) {
      const Sample v = out.samples[c][i];
      figures.nonFiniteOutputs += !std::isfinite(v);
      figures.subnormalOutputs += IsSubnormal(v);
      if (mBypassed && v != in.samples[c][i]) ++figures.bypassMismatches;
    }
  if (rig.controller->getParamNormalized(kBypassParamId) != (mBypassed ? 1.0 : 0.0)) ++figures.bypassMismatches;
  figures.subnormalSmootherStates += IsSubnormal(rig.effect->Chopper().smoother.z);
  mFreshSetup = false;
}

void StressSession::Run(long blocks, double deadline) {
  const auto start = std::chrono::steady_clock::now();
  const long allocationsBefore = AudioThreadAllocations();
  for (long b = 0; b < blocks; ++b) {
    if (deadline > 0.0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > deadline)
      break;
    if (std::uniform_int_distribution<int>(0, 199)(mRandom) == 0) SetupCycle();
    if (mRestoreState && std::uniform_int_distribution<int>(0, 99)(mRandom) == 0) {
      FakeStream saved;
      rig.controller->getState(&saved);
      FakeStream restore(saved.bytes);
      rig.controller->setState(&restore);
      ++figures.stateRestores;
    }
    // Mostly up to the maximum; sometimes empty or the whole maximum, and the
    // whole maximum first after a set-up (which touches every fresh buffer).
    const int pick = std::uniform_int_distribution<int>(0, 19)(mRandom);
    int frames = pick == 0 ? 0 : pick == 1 ? mMaxBlock : std::uniform_int_distribution<int>(1, mMaxBlock)(mRandom);
    if (mFreshSetup) frames = mMaxBlock;
    FillInput(frames);
    if (mSampleSize == kSample64)
      ProcessBlock<double>(frames);
    else
      ProcessBlock<float>(frames);
    ++figures.blocks;
    figures.frames += frames;
  }
  figures.audioAllocations += AudioThreadAllocations() - allocationsBefore;
}
