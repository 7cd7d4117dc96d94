#pragma once

#include "IBitmapControl.h"

class VelloxEditorSource;

// The current program's name: one frame of a strip of names per program,
// following program changes from the host on the editor's tick.
class VelloxPresetName : public IBitmapControl {
public:
  VelloxPresetName(IEffectBase* plug, int x, int y, const IBitmapRef& names);

  bool Paint(IGraphics* graphics) override;
  bool NeedsPaint() override;
  void PointerDown(int x, int y, const IPointerMods& mods) override {}

  int ShownProgram() const { return mShown; }

private:
  int mShown = -1;
};

// A button stepping to the previous (-1) or next (+1) factory program,
// wrapping around at the ends, on a release inside it. Drawn with the
// background.
class VelloxPresetStep : public IControl {
public:
  VelloxPresetStep(IEffectBase* plug, const IBox& box, int direction, VelloxEditorSource* effect);

  bool Paint(IGraphics* graphics) override { return true; }
  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void PointerUp(int x, int y, const IPointerMods& mods) override;

private:
  int mDirection;
  VelloxEditorSource* mEffect;
  bool mPressed = false;
};
