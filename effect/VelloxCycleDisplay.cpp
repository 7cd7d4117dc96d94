#include "VelloxCycleDisplay.h"

#include <cmath>

#include "IEffectBase.h"
#include "IGraphics.h"
#include "VelloxCycleCurve.h"
#include "VelloxParams.h"

namespace {
constexpr uint32_t kCurveColour = 0xFFF39C32;  // the accent
constexpr float kAreaWeight = 0.3f;
// The tempo a synced cycle is drawn at, when the editor cannot know the host's.
constexpr double kDrawnTempo = 120.0;

// The parameters the curve depends on.
constexpr int kCurveParams[] = {kVelloxFade,    kVelloxChop,  kVelloxDry,  kVelloxSync, kVelloxNote,
                                kVelloxPattern, kVelloxSteps, kVelloxGate, kVelloxSwing};
}  // namespace

VelloxCycleDisplay::VelloxCycleDisplay(IEffectBase* plug, const IBox& box) : IControl(plug, box) {
  for (int param : kCurveParams) AddLinkedParam(param);
  for (int k = 0; k < kVelloxMaxSteps; ++k) AddLinkedParam(kVelloxStep1 + k);
}

void VelloxCycleDisplay::ReceiveLinkedValue(int position, double value) {
  if (position >= 0 && position < NLinkedParams() && value != LinkedValue(position)) mCurveStale = true;
  IControl::ReceiveLinkedValue(position, value);
}

bool VelloxCycleDisplay::NeedsPaint() { return IControl::NeedsPaint(); }

int VelloxCycleDisplay::PlayheadColumn(int width) const {
  if (mShownPhase < 0.0 || width <= 0) return -1;
  return std::min(width - 1, int(mShownPhase * width));
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
  for (int i = 0; i < width; ++i) {
    const int x = device.left + i;
    const int top = device.bottom - 1 - int(std::lround(mLevels[size_t(i)] * travel));
    graphics->FillDeviceRect(IBox(x, top + 1, x + 1, device.bottom - 1), kCurveColour, kAreaWeight);
    graphics->FillDeviceRect(IBox(x, top, x + 1, top + 1), kCurveColour, 1.0f);
  }
  return true;
}
