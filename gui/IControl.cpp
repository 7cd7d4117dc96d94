#include "IControl.h"

#include <cmath>

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

void IControl::ReceivePluginValue(double value) {
  if (DefaultValue() < 0.0) {
    mDefault = value;
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
  double& stored = mLinks[size_t(position)].value;
  if (value != stored) {
    stored = value;
    SetPending();
    MarkChanged(false);
  }
}

void IControl::SetHidden(bool hidden) {
  mHidden = hidden;
  SetPending();
  MarkChanged(false);
}

void IControl::SetGrayed(bool grayed) {
  mGrayed = grayed;
  mBlend.weight = grayed ? 0.25f : 1.0f;
  MarkChanged(false);
}

bool IControl::HitTest(int x, int y) { return !mTargetBox.IsEmpty() && mTargetBox.Contains(x, y); }

void IControl::MarkChanged(bool notify) {
  if (std::isnan(mValue) || mValue < mRangeLow)
    mValue = mRangeLow;  // a NaN from a host must not reach frames or the plug-in
  else if (mValue > mRangeHigh)
    mValue = mRangeHigh;
  mDirty = true;

  if (!notify || !mPlug || mParamIdx < 0) return;
  mPlug->SetParamFromEditor(mParamIdx, GetValue());
  if (mGraphics) mGraphics->NoteEditorEdit(mParamIdx);
}

void IControl::MarkPainted() {
  mDirty = mPending;
  mPending = false;
}

bool IControl::NeedsPaint() { return mDirty; }

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
