#include "VelloxStepBars.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "IBitmapControl.h"
#include "IEffectBase.h"
#include "IGraphics.h"
#include "VelloxParams.h"

namespace {
// Steps past STEPS are drawn at this weight over the panel.
constexpr float kDimmedWeight = 0.35f;
// The level's travel inside a bar's frame: its slot's inner edge.
constexpr int kSlotInset = 3;
}  // namespace

VelloxStepBars::VelloxStepBars(IEffectBase* plug, int x, int y, const IBitmapRef& bar)
    : IControl(plug,
               IBox(x, y, x + (kBars - 1) * kPitch + FrameBoxAt(0, 0, bar).right, y + FrameBoxAt(0, 0, bar).bottom),
               kVelloxStep1, IBlendSpec(kBlendAlpha, 1.0f)),
      mBar(bar) {
  const IBox frame = FrameBoxAt(0, 0, bar);
  mBarWidth = frame.right;
  mBarHeight = frame.bottom;
  for (int k = 0; k < kBars; ++k) AddLinkedParam(kVelloxStep1 + k);
  AddLinkedParam(kVelloxSteps);
  SetDoubleClickIsPress(true);
}

IBox VelloxStepBars::BarBox(int bar) const {
  const int left = mBox.left + bar * kPitch;
  return IBox(left, mBox.top, left + mBarWidth, mBox.top + mBarHeight);
}

int VelloxStepBars::BarAt(int x) const { return std::clamp((x - mBox.left) / kPitch, 0, kBars - 1); }

double VelloxStepBars::LevelAt(int y) const {
  const int travel = mBarHeight - 2 * kSlotInset;
  if (travel <= 0) return 0.0;
  return std::clamp(double(mBox.top + mBarHeight - kSlotInset - y) / travel, 0.0, 1.0);
}

int VelloxStepBars::ActiveSteps() const {
  const IParamSlot* steps = mPlug ? mPlug->GetParam(kVelloxSteps) : nullptr;
  if (!steps) return kBars;
  return int(std::lround(steps->FromNormalized(LinkedValue(kBars))));
}

bool VelloxStepBars::Paint(IGraphics* graphics) {
  const int active = ActiveSteps();
  for (int k = 0; k < kBars; ++k) {
    const IBlendSpec blend(kBlendAlpha, k < active ? 1.0f : kDimmedWeight);
    PaintFilmstripFrame(graphics, mBar, BarBox(k), Level(k), blend);
  }
  return true;
}

// The routing asks which control is under the pointer before a press, a
// right-button menu or a wheel turn: the bar found there becomes the bound
// parameter, so the gesture or menu it opens is that step's.
bool VelloxStepBars::HitTest(int x, int y) {
  if (!IControl::HitTest(x, y)) return false;
  mParamIdx = kVelloxStep1 + BarAt(x);
  return true;
}

void VelloxStepBars::SetLevel(int bar, double level) {
  level = std::clamp(level, 0.0, 1.0);
  if (bar < 0 || bar >= kBars || !mPlug) return;
  const int param = kVelloxStep1 + bar;
  if (param != mParamIdx && !mTouched[bar]) {
    mTouched[bar] = true;
    mPlug->BeginHostEdit(param);
  }
  if (level == Level(bar)) return;
  mLinks[size_t(bar)].value = level;
  if (param == mParamIdx) SetValue(level);
  mDirty = true;
  mPlug->SetParamFromEditor(param, level);
  if (mGraphics) mGraphics->NoteEditorEdit(param);
}

void VelloxStepBars::PointerDown(int x, int y, const IPointerMods& mods) {
  if (mods.right) {
    IControl::PointerDown(x, y, mods);
    return;
  }
  mPressed = BarAt(x);
  mDrawing = mods.shift;
  mDistance = 0;
  mDrawX = x;
  mDrawY = y;
  if (mDrawing) SetLevel(mPressed, LevelAt(y));
}

// Every bar whose column the segment crosses takes the level of the path
// where it crosses the bar's middle (or the segment's nearer end).
void VelloxStepBars::DrawLine(int x0, int y0, int x1, int y1) {
  const int first = BarAt(std::min(x0, x1)), last = BarAt(std::max(x0, x1));
  for (int k = first; k <= last; ++k) {
    const IBox box = BarBox(k);
    const int middle = std::clamp((box.left + box.right) / 2, std::min(x0, x1), std::max(x0, x1));
    const double y = x1 == x0 ? y1 : y0 + double(y1 - y0) * (middle - x0) / (x1 - x0);
    SetLevel(k, LevelAt(int(std::lround(y))));
  }
}

void VelloxStepBars::PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) {
  if (mPressed < 0) return;
  mDistance += std::abs(dx) + std::abs(dy);
  if (mDrawing) {
    DrawLine(mDrawX, mDrawY, x, y);
    mDrawX = x;
    mDrawY = y;
    return;
  }
  const int travel = mBarHeight - 2 * kSlotInset;
  if (travel > 0) SetLevel(mPressed, Level(mPressed) - double(dy) / travel);
}

void VelloxStepBars::PointerUp(int x, int y, const IPointerMods& mods) {
  if (mPressed >= 0 && !mDrawing && mDistance <= kClickSlop) SetLevel(mPressed, Level(mPressed) >= 0.5 ? 0.0 : 1.0);
  mPressed = -1;
  mDrawing = false;
  for (int k = 0; k < kBars; ++k) {
    if (!mTouched[k]) continue;
    mTouched[k] = false;
    if (mPlug) mPlug->EndHostEdit(kVelloxStep1 + k);
  }
}

void VelloxStepBars::WheelTurn(int x, int y, const IPointerMods& mods, int notches) {
  const int bar = BarAt(x);
  SetLevel(bar, Level(bar) + notches * 0.01);
}
