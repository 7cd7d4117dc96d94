// The audio thread runs the stress sequence while the user-interface thread
// creates and destroys editor views, moves parameters and saves the state.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "StressSession.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(StressThreads, EditorAndControllerCallsDuringProcessing) {
  StressSession session(99u, false);
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
    FakeStream saved;
    savesOk = savesOk && session.rig.controller->getState(&saved) == kResultOk;
    ++saves;
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
