#pragma once
// A progress bar on one terminal line. It appears only once the work has run
// for about a second, so quick renders print nothing, and it is redrawn at
// most ten times a second.
#include <chrono>
#include <ostream>

namespace vellox::cli {

class ProgressBar {
public:
  using Clock = std::chrono::steady_clock;

  ProgressBar(std::ostream& out, bool enabled, Clock::duration delay = std::chrono::seconds(1));
  void Update(size_t done, size_t total);
  // Clears the line if the bar was ever drawn.
  void Finish();
  bool Shown() const { return mShown; }

private:
  std::ostream& mOut;
  bool mEnabled;
  Clock::duration mDelay;
  Clock::time_point mStart;
  Clock::time_point mLastDraw;
  bool mShown = false;
};

}  // namespace vellox::cli
