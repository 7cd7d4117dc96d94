#include "IKnobControl.h"

#include "IBitmapControl.h"

IKnobControl::IKnobControl(IEffectBase* plug, const IBox& box, int paramIdx, int direction, double gearing)
    : IControl(plug, box, paramIdx, IBlendSpec(kBlendAlpha, 1.0f)), mDirection(direction), mGearing(gearing) {}

void IKnobControl::PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) {
  double gearing = mGearing;
  if (mods.control || mods.shift) gearing *= 10.0;
  // Up is negative dy, so a vertical knob divides by the negative height.
  int span = mDirection == kKnobVertical ? mBox.top - mBox.bottom : mBox.right - mBox.left;
  int delta = mDirection == kKnobVertical ? dy : dx;
  if (span == 0) return;  // a knob without artwork has no travel
  SetValue(GetValue() + (double(delta) / span) / gearing);
  MarkChanged(true);
}

void IKnobControl::WheelTurn(int x, int y, const IPointerMods& mods, int notches) {
  double step = (mods.control || mods.shift) ? 0.001 : 0.01;
  SetValue(GetValue() + notches * step);
  MarkChanged(true);
}

IKnobMultiControl::IKnobMultiControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork)
    : IKnobControl(plug, FrameBoxAt(x, y, artwork), paramIdx, kKnobVertical, 4.0), mArtwork(artwork) {
  if (mArtwork.frameCount < 1) mArtwork.frameCount = 1;
}

bool IKnobMultiControl::Paint(IGraphics* graphics) {
  return PaintFilmstripFrame(graphics, mArtwork, mBox, GetValue(), mBlend);
}
