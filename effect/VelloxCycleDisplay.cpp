#include "VelloxCycleDisplay.h"

#include <cmath>

#include "IEffectBase.h"
#include "IGraphics.h"
#include "VelloxCycleCurve.h"
#include "VelloxCyclePosition.h"
#include "VelloxParams.h"

namespace {
constexpr uint32_t kCurveColour = 0xFFF39C32;  // the accent
// The area under the curve: the accent at 30 % over the display bed, mixed
// here so that it fills without blending.
constexpr uint32_t kAreaColour = 0xFF543B1D;
constexpr uint32_t kPlayheadColour = 0xFFF4F5F7;
// The tempo a synced cycle is drawn at, when the editor cannot know the host's.
constexpr double kDrawnTempo = 120.0;

// The parameters the curve depends on.
constexpr int kCurveParams[] = {kVelloxFade,    kVelloxChop,  kVelloxDry,  kVelloxSync, kVelloxNote,
                                kVelloxPattern, kVelloxSteps, kVelloxGate, kVelloxSwing};
constexpr int kPatternLink = 5;  // PATTERN's place among them
}  // namespace

VelloxCycleDisplay::VelloxCycleDisplay(IEffectBase* plug, const IBox& box, const VelloxCyclePosition* position)
    : IControl(plug, box), mPosition(position) {
  for (int param : kCurveParams) AddLinkedParam(param);
  for (int k = 0; k < kVelloxMaxSteps; ++k) AddLinkedParam(kVelloxStep1 + k);
}

void VelloxCycleDisplay::ReceiveLinkedValue(int position, double value) {
  if (position >= 0 && position < NLinkedParams() && value != LinkedValue(position)) mCurveStale = true;
  IControl::ReceiveLinkedValue(position, value);
}

// Asked on every tick: the playhead moves only when the audio moved it by a
// device column, so an idle editor costs one atomic load here.
bool VelloxCycleDisplay::NeedsPaint() {
  if (mPosition && !mDirty) {
    const double phase = PatternOn() ? mPosition->Phase() : -1.0;
    const int width = int(mLevels.size());
    if (phase != mShownPhase && PlayheadColumn(phase, width) != PlayheadColumn(mShownPhase, width)) mDirty = true;
  }
  return IControl::NeedsPaint();
}

bool VelloxCycleDisplay::PatternOn() const { return LinkedValue(kPatternLink) >= 0.5; }

int VelloxCycleDisplay::PlayheadColumn(double phase, int width) {
  if (!(phase >= 0.0) || width <= 0) return -1;
  return std::min(width - 1, int(phase * width));
}

void VelloxCycleDisplay::MakeCurve(int width) {
  ChopperState state;
  for (int i = 0; i < NLinkedParams(); ++i) {
    const int param = LinkedParamIdx(i);
    const IParamSlot* slot = mPlug ? mPlug->GetParam(param) : nullptr;
    if (slot) ChopperApplyParam(state, param, slot->FromNormalized(LinkedValue(i)));
  }
  mLevels.assign(size_t(width), 0.0f);
  VelloxCycleCurve(state.settings, VelloxCycleSeconds(state.settings, kDrawnTempo), mLevels.data(), width);
  mCurveStale = false;
}

bool VelloxCycleDisplay::Paint(IGraphics* graphics) {
  const IBox device = graphics->ToDevice(mBox);
  const int width = device.right - device.left, height = device.bottom - device.top;
  if (width <= 0 || height <= 2) return false;
  if (mCurveStale || int(mLevels.size()) != width) MakeCurve(width);
  const int travel = height - 2;  // a row free above full level and below 0
  const auto topOf = [&](int i) { return device.bottom - 1 - int(std::lround(mLevels[size_t(i)] * travel)); };
  // Columns at one height are filled together: a pattern's steps are flat.
  for (int i = 0, run; i < width; i += run) {
    const int top = topOf(i);
    for (run = 1; i + run < width && topOf(i + run) == top;) ++run;
    const int x = device.left + i;
    graphics->FillDeviceRect(IBox(x, top + 1, x + run, device.bottom - 1), kAreaColour, 1.0f);
    graphics->FillDeviceRect(IBox(x, top, x + run, top + 1), kCurveColour, 1.0f);
  }
  mShownPhase = mPosition && PatternOn() ? mPosition->Phase() : -1.0;
  const int column = PlayheadColumn(mShownPhase, width);
  if (column >= 0) {
    const int x = device.left + column;
    graphics->FillDeviceRect(IBox(x, device.top, x + std::max(1, graphics->ToDevice(1)), device.bottom),
                             kPlayheadColour, 1.0f);
  }
  return true;
}
