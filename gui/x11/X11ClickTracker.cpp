#include "X11ClickTracker.h"

#include <cstdlib>

bool X11ClickTracker::IsDoubleClick(int button, uint32_t time, int x, int y) {
  const bool isDouble = mArmed && button == mButton && uint32_t(time - mTime) <= mIntervalMs &&
                        std::abs(x - mX) <= kSlopPixels && std::abs(y - mY) <= kSlopPixels;
  // A completed double click disarms, so a third press is a plain press again.
  mArmed = !isDouble;
  mButton = button;
  mTime = time;
  mX = x;
  mY = y;
  return isDouble;
}
