#pragma once
// `--automate NAME=TIME:VALUE,...`: parameter points at times in seconds, each
// placed on its own frame and handed to the effect in the block that holds
// that frame, whatever the block size.
#include <cstdint>
#include <string>
#include <vector>

#include "plugin_instance.h"

namespace vellox::cli {

struct AutomationPoint {
  int64_t frame = 0;
  Steinberg::Vst::ParamID id = 0;
  Steinberg::Vst::ParamValue normalized = 0.0;
};

// Appends the points of one --automate text; VALUEs are read as --set reads them.
bool ParseAutomation(Steinberg::Vst::IEditController& controller, const std::string& text, double sampleRate,
                     std::vector<AutomationPoint>& points, std::string& error);

class AutomationFeed {
public:
  explicit AutomationFeed(std::vector<AutomationPoint> points);

  // Queues the points of the block of `frames` frames from `first` at their
  // offsets and returns how many of those frames the block may cover: fewer
  // when the block holds more points than the effect's queues take; then the
  // rest go with the next block. Negative when the effect takes no more.
  Steinberg::int32 Queue(host::PluginInstance& instance, int64_t first, Steinberg::int32 frames);

  // Points at or after the end of the render, never queued.
  size_t Remaining() const { return mPoints.size() - mNext; }

private:
  std::vector<AutomationPoint> mPoints;  // by frame, in the order given within a frame
  size_t mNext = 0;
};

}  // namespace vellox::cli
