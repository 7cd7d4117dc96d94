// The audio thread runs the stress sequence while the user-interface thread
// creates and destroys editor views, edits parameters as the editor does,
// moves them through the controller, saves and restores the state and
// chooses programs. The report gives how long the audio thread waited for
// the plug-in lock meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "IGraphics.h"
#include "StressSession.h"
#include "VelloxParams.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(StressThreads, EditorAndControllerCallsDuringProcessing) {
  StressSession session(99u, false, false);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    session.Run(20000, 10.0);
    done = true;
  });

  long views = 0, edits = 0, saves = 0;
  bool savesOk = true;
  while (!done) {
    IPlugView* view = session.rig.controller->createView("editor");
    if (view) {
      ViewRect size;
      view->getSize(&size);
      view->release();
      ++views;
    }
    for (ParamID id = 0; id < 5; ++id, ++edits) {
      session.rig.controller->setParamNormalized(id, (edits % 11) / 10.0);
      session.rig.controller->getParamNormalized(id);
    }
    session.rig.controller->getParamNormalized(kBypassParamId);
    session.rig.effect->SetParamFromEditor(static_cast<int>(edits % 4), (edits % 7) / 6.0);
    FakeStream saved;
    savesOk = savesOk && session.rig.controller->getState(&saved) == kResultOk;
    FakeStream restore(saved.bytes);
    savesOk = savesOk && session.rig.controller->setState(&restore) == kResultOk;
    session.rig.controller->setParamNormalized(kPresetParamId, 0.0);
    ++saves;
    // At the pace of a busy user interface (a few thousand calls a second)
    // rather than a loop that retakes the lock the moment it lets go.
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  audio.join();
  const StressFigures& f = session.figures;
  std::printf("stress threads: %ld views, %ld edits, %ld saves; %s\n", views, edits, saves, f.Summary().c_str());

  EXPECT_GT(f.blocks, 100);
  EXPECT_GT(views, 0);
  EXPECT_TRUE(savesOk);
  EXPECT_EQ(f.nonFiniteOutputs, 0);
  EXPECT_EQ(f.subnormalOutputs, 0);
  EXPECT_EQ(f.subnormalSmootherStates, 0);
  EXPECT_EQ(f.bypassMismatches, 0);
  EXPECT_EQ(f.audioAllocations, 0);
}

// The editor ticking and repainting, its playhead following the audio, and
// step bars edited as the pointer does, while the audio runs a pattern: the
// audio thread still allocates nothing and never waits long for the lock.
TEST(StressThreads, TheEditorsTicksAndStepEditsDuringProcessing) {
  StressSession session(123u, false, false);
  IGraphics* editor = dynamic_cast<IGraphics*>(session.rig.effect->Graphics());
  ASSERT_NE(editor, nullptr);
  session.rig.controller->setParamNormalized(kVelloxPattern, 1.0);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    session.Run(20000, 10.0);
    done = true;
  });
  long ticks = 0, painted = 0;
  while (!done) {
    IBox dirty;
    if (editor->CollectDirtyBox(dirty)) {
      editor->PaintRegion(dirty);
      ++painted;
    }
    const int step = kVelloxStep1 + int(ticks % kVelloxMaxSteps);
    session.rig.effect->BeginHostEdit(step);
    session.rig.effect->SetParamFromEditor(step, (ticks % 9) / 8.0);
    session.rig.effect->EndHostEdit(step);
    ++ticks;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  audio.join();
  const StressFigures& f = session.figures;
  std::printf("stress editor ticks: %ld ticks, %ld painted; %s\n", ticks, painted, f.Summary().c_str());
  EXPECT_GT(f.blocks, 100);
  EXPECT_GT(painted, 10);
  EXPECT_EQ(f.nonFiniteOutputs, 0);
  EXPECT_EQ(f.audioAllocations, 0);
}
