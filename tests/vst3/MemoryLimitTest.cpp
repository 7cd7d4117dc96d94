// Set-up under a memory limit: however large a maximum block the host names,
// the scratch buffers stay within their cap, so the set-up succeeds and a
// block of that size is processed in pieces.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>

#include "EffectRig.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Runs in a child process (the limit must not reach the test runner).
bool HugeMaximumBlockFitsAndProcesses() {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  const rlimit limit{1u << 30, 1u << 30};  // 1 GiB of address space
  if (setrlimit(RLIMIT_AS, &limit) != 0) return false;
  ProcessSetup huge{kRealtime, kSample32, 1 << 28, 44100.0};  // 2 GiB per buffer
  if (rig.processor->setupProcessing(huge) != kResultOk) return false;
  HostBus<float> in(2, 64, 0.5f), out(2, 64, 123.0f);
  ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
  if (rig.Process(data) != kResultOk) return false;
  for (const auto& channel : out.samples)
    for (float v : channel)
      if (!(v > 0.0f && v < 0.5f)) return false;  // the fade-in from silence, written by the effect
  return true;
}

}  // namespace

TEST(MemoryLimit, HugeMaximumBlockNeedsNoHugeBuffers) {
  EXPECT_EXIT(std::_Exit(HugeMaximumBlockFitsAndProcesses() ? 0 : 1), testing::ExitedWithCode(0), "");
}
