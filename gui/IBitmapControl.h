#pragma once

#include "IControl.h"

// Paints one frame of a filmstrip chosen by its value; a still image for a
// one-frame strip (the editor's background).
class IBitmapControl : public IControl {
public:
  IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork,
                 int blendMethod = kBlendAlpha);

  bool Paint(IGraphics* graphics) override;

  const IBitmapRef& Artwork() const { return mArtwork; }

protected:
  IBitmapRef mArtwork;
};

// The box one frame of `artwork` occupies at (x, y).
IBox FrameBoxAt(int x, int y, const IBitmapRef& artwork);
