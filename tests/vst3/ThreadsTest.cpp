#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "EffectRig.h"
#include "pluginterfaces/base/ipluginbase.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

FIDString Cid() {
  static const FUID cid(0xF2AEE70D, 0x00DE4F4E, 0x516E776B, 0x564C5831);  // laid out in the platform's order
  return cid.toTUID();
}

}  // namespace

TEST(Threads, InstancesCanBeCreatedFromSeveralThreadsAtOnce) {
  IPluginFactory* factory = GetPluginFactory();
  std::atomic<int> made{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 10; ++i) {
        IAudioProcessor* processor = nullptr;
        if (factory->createInstance(Cid(), IAudioProcessor::iid, reinterpret_cast<void**>(&processor)) == kResultOk &&
            processor) {
          ++made;
          processor->release();
        }
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(made.load(), 40);
  factory->release();
}

// Audio blocks with automation on one thread, state saves and restores on
// another: the plug-in lock keeps them apart.
TEST(Threads, StateCallsNeverOverlapAProcessingBlock) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  std::atomic<bool> done{false};
  std::atomic<bool> stateStarted{false};
  std::atomic<bool> processed{true};
  std::thread audio([&] {
    // Blocks begin once the state calls are running, so the two always meet.
    while (!stateStarted) std::this_thread::yield();
    auto in = HostBus<float>(2, 64, 0.5f);
    HostBus<float> out(2, 64);
    for (int block = 0; block < 2000; ++block) {
      FakeParamChanges changes;
      changes.Add(block % 5, {{0, (block % 7) / 7.0}});
      changes.Add(kBypassParamId, {{0, block % 3 == 0 ? 1.0 : 0.0}});
      ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
      data.inputParameterChanges = &changes;
      if (rig.Process(data) != kResultOk) processed = false;
    }
    done = true;
  });
  bool ok = true;
  do {
    FakeStream saved;
    ok = ok && rig.controller->getState(&saved) == kResultOk && saved.bytes.size() == 44u;
    FakeStream restore(saved.bytes);
    ok = ok && rig.controller->setState(&restore) == kResultOk;
    stateStarted = true;
  } while (!done);
  audio.join();
  EXPECT_TRUE(ok);
  EXPECT_TRUE(processed.load());
}

// The controller reads and writes parameter values and the bypass without
// the plug-in lock while the audio thread applies automation to the same
// values under it; run under ThreadSanitizer this shows any unsafe access.
TEST(Threads, ControllerValuesAndAutomationShareTheSlotsSafely) {
  EffectRig rig;
  rig.Setup(kSample64, 64);
  std::atomic<bool> started{false};
  std::thread audio([&] {
    started = true;
    auto in = HostBus<double>(2, 64, 0.5);
    HostBus<double> out(2, 64);
    for (int block = 0; block < 3000; ++block) {
      FakeParamChanges changes;
      changes.Add(block % 5, {{0, (block % 11) / 10.0}});
      changes.Add(kBypassParamId, {{0, (block / 7) % 2 ? 1.0 : 0.0}});
      ProcessData data = MakeProcessData(kSample64, 64, &in.buffers, 1, &out.buffers, 1);
      data.inputParameterChanges = &changes;
      rig.Process(data);
    }
  });
  while (!started) std::this_thread::yield();
  double sum = 0.0;
  for (int i = 0; i < 20000; ++i) {
    rig.controller->setParamNormalized(static_cast<ParamID>(i % 5), (i % 13) / 12.0);
    rig.controller->setParamNormalized(kBypassParamId, (i % 3) == 0 ? 1.0 : 0.0);
    sum += rig.controller->getParamNormalized(static_cast<ParamID>((i + 2) % 5));
    sum += rig.controller->getParamNormalized(kBypassParamId);
  }
  audio.join();
  EXPECT_TRUE(std::isfinite(sum));
  for (ParamID id = 0; id < 5; ++id) {
    const double v = rig.controller->getParamNormalized(id);
    EXPECT_TRUE(v >= 0.0 && v <= 1.0) << id;
  }
}
