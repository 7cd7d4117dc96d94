#include "progress_bar.h"

#include <string>

namespace vellox::cli {

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, Clock::duration delay)
    : mOut(out), mEnabled(enabled), mDelay(delay), mStart(Clock::now()) {}

void ProgressBar::Update(size_t done, size_t total) {
  if (!mEnabled || total == 0) return;
  const auto now = Clock::now();
  if (now - mStart < mDelay) return;
  if (mShown && now - mLastDraw < std::chrono::milliseconds(100) && done < total) return;
  mLastDraw = now;
  mShown = true;
  const auto filled = static_cast<int>(done * kWidth / total);
  const auto percent = static_cast<int>(done * 100 / total);
  mOut << "\rrendering [" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent << "%" << std::flush;
}

void ProgressBar::Finish() {
  if (mShown) mOut << "\r" << std::string(kWidth + 20, ' ') << "\r" << std::flush;
}

}  // namespace vellox::cli
