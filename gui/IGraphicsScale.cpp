// The editor at a content scale: editor pixels to device pixels and back, and
// the artwork drawn at the device resolution.
#include <algorithm>
#include <cmath>
#include <limits>

#include "../pix/PIX_Blit.h"
#include "../pix/PIX_Resample.h"
#include "../pix/PIX_SysBitmap.h"
#include "IGraphics.h"
#include "IResourceCaches.h"

bool IGraphics::SetContentScale(double scale) {
  if (!(scale >= 1.0 && scale <= 3.0)) return false;
  if (std::this_thread::get_id() != mUiThread) {
    mRequestedScale.store(scale, std::memory_order_release);
    return true;
  }
  // A later factor set here wins over one still waiting from elsewhere.
  mRequestedScale.store(std::numeric_limits<double>::quiet_NaN(), std::memory_order_relaxed);
  return ApplyContentScale(scale);
}

void IGraphics::ApplyRequestedScale() {
  const double scale = mRequestedScale.exchange(std::numeric_limits<double>::quiet_NaN(), std::memory_order_acquire);
  if (!std::isnan(scale)) ApplyContentScale(scale);
}

bool IGraphics::ApplyContentScale(double scale) {
  if (scale == mScale) return true;
  mScale = scale;
  mScaled.clear();
  if (mDrawSurface) {
    delete mDrawSurface;
    mDrawSurface = new PIX_SysBitmap(DeviceWidth(), DeviceHeight());
  }
  MarkAllChanged();
  ContentScaleChanged();
  return true;
}

IBox IGraphics::ToDevice(const IBox& box) const {
  if (mScale == 1.0) return box;
  return IBox(ToDevice(box.left), ToDevice(box.top), ToDevice(box.right), ToDevice(box.bottom));
}

IBox IGraphics::FromDevice(const IBox& device) const {
  if (mScale == 1.0) return device;
  auto up = [&](int v) { return int(std::ceil(v / mScale - 1e-9)); };
  return IBox(PointFromDevice(device.left), PointFromDevice(device.top), up(device.right), up(device.bottom));
}

// The twin drawn at twice the resolution when there is one (from the cache
// shared by all editors), else the artwork itself; resampled to the frame
// size of this scale unless it already has it.
const IGraphics::ScaledArtwork* IGraphics::ArtworkAtScale(const IBitmapRef& artwork) {
  for (const ScaledArtwork& scaled : mScaled)
    if (scaled.source == artwork.bitmap) return &scaled;
  const int frames = std::max(1, artwork.frameCount);
  const int across = artwork.framesHorizontal ? frames : 1;
  const int down = artwork.framesHorizontal ? 1 : frames;
  const int frameW = artwork.width / across, frameH = artwork.height / down;
  const PIX_IBitmap* source = artwork.bitmap;
  if (mHiResOffset > 0 && artwork.id > 0) {
    const int twinId = artwork.id + mHiResOffset;
    PIX_IBitmap* twin = ArtworkCache::Find(twinId);
    if (!twin && (twin = LoadArtworkResource(twinId, "twin.png")) != nullptr) ArtworkCache::Add(twinId, twin);
    if (twin && twin->Width() == 2 * artwork.width && twin->Height() == 2 * artwork.height) source = twin;
  }
  ScaledArtwork scaled{artwork.bitmap, source, nullptr, ToDevice(frameW), ToDevice(frameH)};
  if (source->Width() != scaled.frameW * across || source->Height() != scaled.frameH * down) {
    scaled.owned = std::make_shared<PIX_MemBitmap>();
    // Horizontal strips are rare enough to be resampled as one picture.
    if (across == 1)
      ResampleFrames(*source, down, *scaled.owned, scaled.frameW, scaled.frameH);
    else
      ResampleFrames(*source, 1, *scaled.owned, scaled.frameW * across, scaled.frameH);
    scaled.bitmap = scaled.owned.get();
  }
  mScaled.push_back(scaled);
  return &mScaled.back();
}

bool IGraphics::DrawScaledFrame(const IBitmapRef& artwork, const IBox& dest, int srcX, int srcY, int mode,
                                float weight) {
  const ScaledArtwork* scaled = ArtworkAtScale(artwork);
  const int frameW =
      std::max(1, artwork.framesHorizontal ? artwork.width / std::max(1, artwork.frameCount) : artwork.width);
  const int frameH =
      std::max(1, artwork.framesHorizontal ? artwork.height : artwork.height / std::max(1, artwork.frameCount));
  // The frame the control asked for, and where inside it the box starts.
  const int cellLeft = (srcX / frameW) * scaled->frameW, cellTop = (srcY / frameH) * scaled->frameH;
  const IBox device = ToDevice(dest);
  const IBox clip = ToDevice(mClipBox);
  const IBox r(std::max(device.left, clip.left), std::max(device.top, clip.top), std::min(device.right, clip.right),
               std::min(device.bottom, clip.bottom));
  if (r.right <= r.left || r.bottom <= r.top) return true;
  const int sx = cellLeft + ToDevice(srcX % frameW) + (r.left - device.left);
  const int sy = cellTop + ToDevice(srcY % frameH) + (r.top - device.top);
  // Never past the frame: a box a device pixel wider than the frame shows no
  // sliver of the next one.
  PIX_Rect src{sx, sy, std::min(sx + r.Width(), cellLeft + scaled->frameW),
               std::min(sy + r.Height(), cellTop + scaled->frameH)};
  BlitBitmap(mDrawSurface, const_cast<PIX_IBitmap*>(scaled->bitmap), r.left, r.top, &src, weight, mode);
  return true;
}
