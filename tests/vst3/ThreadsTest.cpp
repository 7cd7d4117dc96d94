#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "EffectRig.h"
#include "IControl.h"
#include "IGraphics.h"
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
      changes.Add(block % 7, {{0, (block % 7) / 7.0}});
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
    ok = ok && rig.controller->getState(&saved) == kResultOk && saved.bytes.size() == 248u;
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
      changes.Add(block % 7, {{0, (block % 11) / 10.0}});
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

namespace {

// A host whose performEdit takes its engine lock, which its audio thread holds
// around every process call, as several real hosts do.
class EngineLockingHandler : public FakeComponentHandler {
public:
  tresult PLUGIN_API performEdit(ParamID, ParamValue) override {
    std::lock_guard<std::mutex> hold(engine);
    ++edits;
    return kResultOk;
  }

  std::mutex engine;
  std::atomic<int> edits{0};
};

}  // namespace

// 1000 knob drags through the editor's input entry points while the audio
// thread runs blocks under the host's engine lock; a watchdog ends the
// program if either thread stalls, which is how a deadlock shows.
TEST(Threads, EditorEditsNeverDeadlockAHostThatLocksInPerformEdit) {
  EffectRig rig;
  rig.Setup(kSample32, 64);
  EngineLockingHandler handler;
  rig.controller->setComponentHandler(&handler);
  auto* editor = dynamic_cast<IGraphics*>(rig.effect->Graphics());
  ASSERT_NE(editor, nullptr);
  // A point where a press reaches the FADE knob.
  int x = -1, y = -1;
  for (int py = 0; py < editor->Height() && x < 0; py += 4)
    for (int px = 0; px < editor->Width() && x < 0; px += 4) {
      const int i = editor->ControlAt(px, py);
      if (i >= 0 && editor->GetControl(i)->ParamIdx() == 0) x = px, y = py;
    }
  ASSERT_GE(x, 0);

  std::atomic<bool> done{false};
  std::atomic<long> blocks{0};
  std::thread audio([&] {
    HostBus<float> in(2, 64, 0.5f), out(2, 64);
    while (!done) {
      std::lock_guard<std::mutex> hold(handler.engine);
      ProcessData data = MakeProcessData(kSample32, 64, &in.buffers, 1, &out.buffers, 1);
      rig.Process(data);
      ++blocks;
    }
  });
  std::promise<void> finished;
  std::thread ui([&] {
    IPointerMods left;
    left.left = true;
    editor->DispatchPointerDown(x, y, left);
    for (int i = 0; i < 1000; ++i) editor->DispatchPointerDrag(x, y + 1 + i % 100, left);
    editor->DispatchPointerUp(x, y, left);
    finished.set_value();
  });
  if (finished.get_future().wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    std::fprintf(stderr, "stalled after %d edits and %ld blocks: the editor and the audio thread deadlocked\n",
                 handler.edits.load(), blocks.load());
    std::_Exit(1);
  }
  done = true;
  ui.join();
  audio.join();
  EXPECT_GE(handler.edits.load(), 990);
  rig.controller->setComponentHandler(nullptr);
}
