#pragma once

#include "IBitmapControl.h"

// A list parameter shown as one frame of a filmstrip per entry. It moves by
// whole entries: a click steps to the next one (with shift held, the previous
// one) and wraps around; dragging up or down moves one entry per
// kDragStepPixels and the wheel one entry per notch, both stopping at the ends.
// A quick second click steps again rather than resetting.
class ISelectorControl : public IBitmapControl {
public:
  static constexpr int kDragStepPixels = 12;

  ISelectorControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork);

  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void PointerUp(int x, int y, const IPointerMods& mods) override;
  void WheelTurn(int x, int y, const IPointerMods& mods, int notches) override;

  // The entry the value stands for, 0 .. frame count - 1.
  int Entry() const;

private:
  int LastEntry() const { return mArtwork.frameCount - 1; }
  void ShowEntry(int entry);

  bool mPressed = false;  // a left press whose release may still step
  bool mMoved = false;    // the press became a drag
  int mTravel = 0;        // drag pixels not yet turned into steps, up positive
  int mDistance = 0;      // pointer travel of the press, any direction
};
