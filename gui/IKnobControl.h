#pragma once

#include "IControl.h"

enum { kKnobVertical = 0, kKnobHorizontal = 1 };

// A knob turned by dragging along one axis or by the wheel.
class IKnobControl : public IControl {
public:
  IKnobControl(IEffectBase* plug, const IBox& box, int paramIdx, int direction = kKnobVertical, double gearing = 4.0);

  void PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void WheelTurn(int x, int y, const IPointerMods& mods, int notches) override;

  int Direction() const { return mDirection; }
  void SetDirection(int direction) { mDirection = direction; }
  double Gearing() const { return mGearing; }

protected:
  int mDirection;
  double mGearing;  // control lengths of travel for the whole range
};

// A knob drawn as one frame of a filmstrip.
class IKnobMultiControl : public IKnobControl {
public:
  IKnobMultiControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork);

  bool Paint(IGraphics* graphics) override;

  const IBitmapRef& Artwork() const { return mArtwork; }

protected:
  IBitmapRef mArtwork;
};
