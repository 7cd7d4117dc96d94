// A long seeded run on one thread: everything a strict host does between and
// during blocks, checked block by block.
#include <gtest/gtest.h>

#include "StressSession.h"

TEST(Stress, SeededHostSequenceKeepsTheAudioPathClean) {
  StressSession session(20240611u);
  session.Run(12000);
  const StressFigures& f = session.figures;
  std::printf("stress: %s\n", f.Summary().c_str());
  RecordProperty("summary", f.Summary());

  EXPECT_EQ(f.blocks, 12000);
  EXPECT_GT(f.setups, 20);
  EXPECT_GT(f.stateRestores, 50);
  EXPECT_GT(f.bypassToggles, 100);
  EXPECT_EQ(f.nonFiniteOutputs, 0);
  EXPECT_EQ(f.subnormalOutputs, 0);
  EXPECT_EQ(f.subnormalSmootherStates, 0);
  EXPECT_EQ(f.bypassMismatches, 0);
  EXPECT_EQ(f.audioAllocations, 0);

  // Thread CPU time, so other programs on the machine do not count. A typical
  // frame stays cheap (subnormal arithmetic costs a hundred times more), and
  // no block costs far more per frame than a typical one, nor is slow
  // outright. The ratio leaves room for short blocks, where the fixed cost of
  // a block weighs most, and for a sanitizer's overhead.
  ASSERT_GT(f.nsPerFrame.size(), 1000u);
  EXPECT_LT(f.MedianNsPerFrame(), 200.0);
  EXPECT_LT(f.WorstNsPerFrame(), 200.0 * f.MedianNsPerFrame());
  EXPECT_LT(f.WorstNsPerFrame(), 2000.0);
}

// The same sequence twice gives the same figures: a failure can be replayed.
TEST(Stress, SequenceIsDeterministic) {
  StressSession a(7u), b(7u);
  a.Run(300);
  b.Run(300);
  EXPECT_EQ(a.figures.frames, b.figures.frames);
  EXPECT_EQ(a.figures.setups, b.figures.setups);
  EXPECT_EQ(a.figures.bypassToggles, b.figures.bypassToggles);
  FakeStream sa, sb;
  ASSERT_EQ(a.rig.controller->getState(&sa), Steinberg::kResultOk);
  ASSERT_EQ(b.rig.controller->getState(&sb), Steinberg::kResultOk);
  EXPECT_EQ(sa.bytes, sb.bytes);
}
