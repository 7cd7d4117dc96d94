#include "automation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "parameter_assignment.h"

namespace vellox::cli {

using namespace Steinberg;

namespace {

// Room for the settings at the first frame besides these.
constexpr int32 kMaxFramesPerBlock = host::kMaxPointsPerQueue / 2;
constexpr double kLatestTime = 1e9;  // seconds; far beyond any render, and a frame count that fits

bool ParseTime(const std::string& text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && seconds >= 0.0 && seconds <= kLatestTime;
}

}  // namespace

bool ParseAutomation(Vst::IEditController& controller, const std::string& text, double sampleRate,
                     std::vector<AutomationPoint>& points, std::string& error) {
  const auto equals = text.find('=');
  const std::string usage = "--automate expects NAME=TIME:VALUE,TIME:VALUE,... (TIME in seconds), got \"" + text + "\"";
  if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
    error = usage;
    return false;
  }
  const std::string name = text.substr(0, equals);
  for (size_t start = equals + 1; start <= text.size();) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string point = text.substr(start, comma - start);
    const auto colon = point.find(':');
    double seconds = 0.0;
    if (colon == std::string::npos) {
      error = usage;
      return false;
    }
    if (!ParseTime(point.substr(0, colon), seconds)) {
      error = "--automate time \"" + point.substr(0, colon) + "\" for " + name +
              " is not a number of seconds from 0 to " + FormatNumber(kLatestTime);
      return false;
    }
    ParameterAssignment assignment;
    if (!ResolveAssignment(controller, name + "=" + point.substr(colon + 1), assignment, error)) return false;
    points.push_back({std::llround(seconds * sampleRate), assignment.id, assignment.normalized});
    start = comma + 1;
  }
  return true;
}

AutomationFeed::AutomationFeed(std::vector<AutomationPoint> points) : mPoints(std::move(points)) {
  std::stable_sort(mPoints.begin(), mPoints.end(),
                   [](const AutomationPoint& a, const AutomationPoint& b) { return a.frame < b.frame; });
}

int32 AutomationFeed::Queue(host::PluginInstance& instance, int64_t first, int32 frames) {
  int32 distinctFrames = 0;
  int64_t lastFrame = -1;
  for (; mNext < mPoints.size() && mPoints[mNext].frame < first + frames; ++mNext) {
    const AutomationPoint& point = mPoints[mNext];
    if (point.frame != lastFrame && ++distinctFrames > kMaxFramesPerBlock)
      return static_cast<int32>(point.frame - first);
    lastFrame = point.frame;
    if (!instance.QueueChange(point.id, point.normalized, static_cast<int32>(point.frame - first))) return -1;
  }
  return frames;
}

}  // namespace vellox::cli
