#pragma once

#include <cstdint>

// Decides which button presses complete a double click. X delivers only
// presses; as on Windows, the second press of the same button within the
// double-click interval and a few pixels of the first is a double click, and
// the press after a double click starts afresh.
class X11ClickTracker {
public:
  static constexpr unsigned kDefaultIntervalMs = 400;
  static constexpr int kSlopPixels = 4;

  // time: the server's millisecond timestamp of the press (it wraps).
  bool IsDoubleClick(int button, uint32_t time, int x, int y);
  void Reset() { mArmed = false; }
  void SetIntervalMs(unsigned ms) { mIntervalMs = ms > 0 ? ms : kDefaultIntervalMs; }
  unsigned IntervalMs() const { return mIntervalMs; }

private:
  unsigned mIntervalMs = kDefaultIntervalMs;
  bool mArmed = false;
  int mButton = 0;
  uint32_t mTime = 0;
  int mX = 0, mY = 0;
};
