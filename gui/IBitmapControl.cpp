#include "IBitmapControl.h"

#include "ISwitchControl.h"

IBox FrameBoxAt(int x, int y, const IBitmapRef& artwork) {
  int frames = artwork.frameCount > 0 ? artwork.frameCount : 1;
  int w = artwork.framesHorizontal ? artwork.width / frames : artwork.width;
  int h = artwork.framesHorizontal ? artwork.height : artwork.height / frames;
  return IBox(x, y, x + w, y + h);
}

static IBitmapRef WithValidFrameCount(IBitmapRef artwork) {
  if (artwork.frameCount < 1) artwork.frameCount = 1;
  return artwork;
}

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork,
                               int blendMethod)
    : IControl(plug, FrameBoxAt(x, y, artwork), paramIdx, IBlendSpec(blendMethod, 1.0f)),
      mArtwork(WithValidFrameCount(artwork)) {}

bool IBitmapControl::Paint(IGraphics* graphics) {
  return PaintFilmstripFrame(graphics, mArtwork, mBox, GetValue(), mBlend);
}

void ISwitchControl::PointerDown(int x, int y, const IPointerMods& mods) {
  int n = mArtwork.frameCount;
  double step = n > 1 ? 1.0 / (n - 1) : 1.0;
  double value = GetValue() + step;
  if (value > 1.001) value = 0.0;
  SetValue(value);
  MarkChanged(true);
}

void ISwitchControl::PointerDoubleClick(int x, int y, const IPointerMods& mods) { PointerDown(x, y, mods); }
