#include "IBitmapControl.h"

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
