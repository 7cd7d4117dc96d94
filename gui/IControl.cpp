#include "IControl.h"

#include <cmath>
#include <cstring>

#include "../plug/IEffectBase.h"
#include "IGraphics.h"

IControl::IControl(IEffectBase* plug, const IBox& box, int paramIdx, const IBlendSpec& blend)
    : mPlug(plug), mBox(box), mTargetBox(box), mParamIdx(paramIdx), mBlend(blend) {}

IControl::~IControl() = default;

void IControl::PointerDown(int x, int y, const IPointerMods& mods) {
  if (mods.right) AskUserForValue();
}

void IControl::PointerDoubleClick(int x, int y, const IPointerMods& mods) {
  double def = DefaultValue();
  if (def >= 0.0) {
    SetValue(def);
    MarkChanged(true);
  }
}

// Pending is raised before MarkChanged sets dirty: a MarkPainted running on
// the painting thread in between then still leaves the control dirty, so a
// value delivered mid-paint is always shown on a following tick.
void IControl::ReceivePluginValue(double value) {
  if (DefaultValue() < 0.0) {
    mDefault.store(value, std::memory_order_release);
    SetValue(value);
  }
  if (value != GetValue()) {
    SetValue(value);
    SetPending();
    MarkChanged(false);
  }
}

void IControl::ReceiveUserValue(double value) {
  if (value != GetValue()) {
    SetValue(value);
    SetPending();
    MarkChanged(true);
  }
}

void IControl::ReceiveLinkedValue(int position, double value) {
  if (position < 0 || position >= NLinkedParams()) return;
  std::atomic<double>& stored = mLinks[size_t(position)].value;
  if (value != stored.load(std::memory_order_acquire)) {
    stored.store(value, std::memory_order_release);
    SetPending();
    MarkChanged(false);
  }
}

void IControl::SetHidden(bool hidden) {
  mHidden.store(hidden, std::memory_order_release);
  SetPending();
  MarkChanged(false);
}

void IControl::SetGrayed(bool grayed) {
  mGrayed.store(grayed, std::memory_order_release);
  mBlend.weight = grayed ? 0.25f : 1.0f;
  MarkChanged(false);
}

bool IControl::HitTest(int x, int y) { return !mTargetBox.IsEmpty() && mTargetBox.Contains(x, y); }

void IControl::MarkChanged(bool notify) {
  double value = GetValue();
  double clamped = value;
  if (std::isnan(clamped) || clamped < mRangeLow)
    clamped = mRangeLow;  // a NaN from a host must not reach frames or the plug-in
  else if (clamped > mRangeHigh)
    clamped = mRangeHigh;
  // Only clamp the value we looked at: a newer value stored meanwhile by the
  // other thread is clamped by its own MarkChanged.
  if (std::memcmp(&clamped, &value, sizeof value) != 0) mValue.compare_exchange_strong(value, clamped);
  mPaintFlags.fetch_or(kDirtyBit, std::memory_order_acq_rel);

  if (!notify || !mPlug || mParamIdx < 0) return;
  mPlug->SetParamFromEditor(mParamIdx, GetValue());
}

void IControl::MarkPainted() {
  unsigned flags = mPaintFlags.load(std::memory_order_acquire);
  unsigned next;
  do {
    next = (flags & kPendingBit) ? kDirtyBit : 0u;
  } while (!mPaintFlags.compare_exchange_weak(flags, next, std::memory_order_acq_rel));
}

bool IControl::NeedsPaint() { return (mPaintFlags.load(std::memory_order_acquire) & kDirtyBit) != 0; }

void IControl::AskUserForValue() {
  if (mParamIdx < 0 || mPromptDisabled || !mPlug || !mGraphics) return;
  IParamSlot* param = mPlug->GetParam(mParamIdx);
  if (!param) return;

  IBox box = mBox;
  if (param->NDisplayTexts() < 1) {
    int cx = int(float(mBox.left + mBox.right) * 0.5f);
    int cy = int(float(mBox.top + mBox.bottom) * 0.5f);
    box = IBox(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  mGraphics->AskForParamValue(this, param, &box);
  SetPending();
}

int FrameForValue(int frameCount, double value) {
  double frame = std::trunc((frameCount - 1) * value + 0.5) + 1.0;
  if (!(frame >= 1.0)) return 1;  // also NaN
  if (frame > frameCount) return frameCount;
  return int(frame);
}

bool PaintFilmstripFrame(IGraphics* graphics, const IBitmapRef& artwork, const IBox& box, double value,
                         const IBlendSpec& blend) {
  int n = artwork.frameCount;
  int frame = FrameForValue(n, value);
  int offset = 0;
  if (n > 1 && frame > 1) {
    int length = artwork.framesHorizontal ? artwork.width : artwork.height;
    offset = int(std::trunc(double(length) * (frame - 1) / n + 0.5));
  }
  if (artwork.framesHorizontal) return graphics->DrawBitmapFrame(artwork, box, offset, 0, &blend);
  return graphics->DrawBitmapFrame(artwork, box, 0, offset, &blend);
}
