#include "progress_bar.h"

#include <string>

namespace vellox::cli {

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, Clock::duration delay)
    : out_(out), enabled_(enabled), delay_(delay), start_(Clock::now()) {}

void ProgressBar::Update(size_t done, size_t total) {
  if (!enabled_ || total == 0) return;
  const auto now = Clock::now();
  if (now - start_ < delay_) return;
  if (shown_ && now - lastDraw_ < std::chrono::milliseconds(100) && done < total) return;
  lastDraw_ = now;
  shown_ = true;
  const auto filled = static_cast<int>(done * kWidth / total);
  const auto percent = static_cast<int>(done * 100 / total);
  out_ << "\rrendering [" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent << "%" << std::flush;
}

void ProgressBar::Finish() {
  if (shown_) out_ << "\r" << std::string(kWidth + 20, ' ') << "\r" << std::flush;
}

}  // namespace vellox::cli
