// Double-click decisions over many random press sequences, against a plain
// restatement of the rule: same button, within the interval and the slop of
// the previous press, and never two double clicks in a row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "X11ClickTracker.h"
#include "X11Input.h"

namespace {

TEST(X11ClickTracker, FollowsTheRuleOverRandomPresses) {
  std::mt19937 random(1234);
  for (unsigned interval : {0u, 250u, 400u, 900u}) {
    X11ClickTracker tracker;
    tracker.SetIntervalMs(interval);
    const unsigned used = interval ? interval : X11ClickTracker::kDefaultIntervalMs;
    EXPECT_EQ(tracker.IntervalMs(), used);
    // Times start near the wrap of the server's 32-bit clock.
    uint32_t time = 0xFFFFF000u;
    bool previousExists = false, previousWasDouble = false;
    int prevButton = 0, prevX = 0, prevY = 0;
    uint32_t prevTime = 0;
    int doubles = 0;
    for (int i = 0; i < 5000; ++i) {
      const int button = 1 + int(random() % 3);
      time += uint32_t(random() % (2 * used));
      const int x = int(random() % 12), y = int(random() % 12);
      const bool expected = previousExists && !previousWasDouble && button == prevButton && time - prevTime <= used &&
                            std::abs(x - prevX) <= X11ClickTracker::kSlopPixels &&
                            std::abs(y - prevY) <= X11ClickTracker::kSlopPixels;
      ASSERT_EQ(tracker.IsDoubleClick(button, time, x, y), expected) << "press " << i;
      doubles += expected;
      previousExists = true;
      previousWasDouble = expected;
      prevButton = button;
      prevX = x;
      prevY = y;
      prevTime = time;
    }
    EXPECT_GT(doubles, 100);  // the sequence exercised both answers
  }
}

TEST(X11ClickTracker, AResetForgetsThePreviousPress) {
  X11ClickTracker tracker;
  EXPECT_FALSE(tracker.IsDoubleClick(1, 1000, 5, 5));
  tracker.Reset();
  EXPECT_FALSE(tracker.IsDoubleClick(1, 1001, 5, 5));
  EXPECT_TRUE(tracker.IsDoubleClick(1, 1002, 5, 5));
}

TEST(X11Input, ModifiersMatchWhatWindowsReportsWithTheMessage) {
  // The state word holds what was down before the event.
  const uint16_t shift = 1, control = 4, alt = 8, left = 256, right = 1024;
  IPointerMods press = ModsFromState(shift, kButtonLeft);
  EXPECT_TRUE(press.left && press.shift && !press.right && !press.control && !press.alt);
  IPointerMods release = ModsFromState(left | control, 0, kButtonLeft);
  EXPECT_TRUE(!release.left && release.control);
  IPointerMods middle = ModsFromState(alt, kButtonMiddle);
  EXPECT_TRUE(!middle.left && !middle.right && middle.alt);
  IPointerMods drag = ModsFromState(right);
  EXPECT_TRUE(drag.right && !drag.left);
}

TEST(X11Input, KeySymbolsMapToTheControlsKeyCodes) {
  EXPECT_EQ(KeyCodeForKeySym(' '), 0);
  EXPECT_EQ(KeyCodeForKeySym(0xff52), 1);  // up
  EXPECT_EQ(KeyCodeForKeySym(0xff54), 2);  // down
  EXPECT_EQ(KeyCodeForKeySym(0xff51), 3);  // left
  EXPECT_EQ(KeyCodeForKeySym(0xff53), 4);  // right
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(KeyCodeForKeySym(uint32_t(c)), 5 + (c - '0'));
  for (char c = 'a'; c <= 'z'; ++c) {
    EXPECT_EQ(KeyCodeForKeySym(uint32_t(c)), 15 + (c - 'a'));
    EXPECT_EQ(KeyCodeForKeySym(uint32_t(c - 'a' + 'A')), 15 + (c - 'a'));
  }
  // F1 and the keypad digits go to the host.
  EXPECT_EQ(KeyCodeForKeySym(0xffbe), -1);
  EXPECT_EQ(KeyCodeForKeySym(0xffb0), -1);
}

}  // namespace
