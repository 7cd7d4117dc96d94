#include "VelloxPresetControls.h"

#include "IEffectBase.h"
#include "VelloxCyclePosition.h"

VelloxPresetName::VelloxPresetName(IEffectBase* plug, int x, int y, const IBitmapRef& names)
    : IBitmapControl(plug, x, y, -1, names, kBlendAlpha) {}

bool VelloxPresetName::NeedsPaint() {
  const int current = mPlug ? mPlug->CurrentPresetIndex() : 0;
  if (current != mShown) mDirty = true;
  return IControl::NeedsPaint();
}

bool VelloxPresetName::Paint(IGraphics* graphics) {
  mShown = mPlug ? mPlug->CurrentPresetIndex() : 0;
  const int frames = mArtwork.frameCount;
  if (mShown < 0 || mShown >= frames) return true;  // a program without a name drawn: the empty display
  const double value = frames > 1 ? double(mShown) / (frames - 1) : 0.0;
  return PaintFilmstripFrame(graphics, mArtwork, mBox, value, mBlend);
}

VelloxPresetStep::VelloxPresetStep(IEffectBase* plug, const IBox& box, int direction, VelloxEditorSource* effect)
    : IControl(plug, box), mDirection(direction < 0 ? -1 : 1), mEffect(effect) {
  SetDoubleClickIsPress(true);
}

void VelloxPresetStep::PointerDown(int x, int y, const IPointerMods& mods) { mPressed = !mods.right; }

void VelloxPresetStep::PointerUp(int x, int y, const IPointerMods& mods) {
  const bool released = mPressed && mTargetBox.Contains(x, y);
  mPressed = false;
  if (!released || !mEffect || !mPlug || mPlug->NPresets() < 1) return;
  const int count = mPlug->NPresets();
  mEffect->SelectProgramFromEditor((mPlug->CurrentPresetIndex() + mDirection + count) % count);
}
