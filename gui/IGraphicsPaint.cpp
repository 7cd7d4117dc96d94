#include <algorithm>
#include <cmath>

#include "../pix/PIX_Blit.h"
#include "../pix/PIX_Draw.h"
#include "../pix/PIX_Font.h"
#include "../pix/PIX_SysBitmap.h"
#include "IControl.h"
#include "IGraphics.h"
#include "IResourceCaches.h"

int BlendModeOf(int method) {
  switch (method) {
    case kBlendReplace: return ModeCopy;
    case kBlendAdditive: return ModeUseSourceAlpha | ModeAdd;
    case kBlendColourDodge: return ModeUseSourceAlpha | ModeDodge;
    default: return ModeUseSourceAlpha | ModeCopy;
  }
}

bool IGraphics::CollectDirtyBox(IBox& box) {
  ApplyRequestedScale();
  AgeWheelGesture();
  SyncParamValues();
  bool found = false;
  IBox dirty;
  for (IControl* control : mControls) {
    if (!control->NeedsPaint()) continue;
    const IBox& b = control->Box();
    if (dirty.IsEmpty())
      dirty = b;
    else if (!b.IsEmpty())
      dirty = dirty.Union(b);
    found = true;
  }
  box = dirty;
  return found;
}

bool IGraphics::PaintRegion(const IBox& box) {
  if (mControls.empty()) return true;
  if (mStrictRepaint)
    PaintStrict(box);
  else
    PaintChangedOnly();
  return PresentRegion(box);
}

void IGraphics::PaintStrict(const IBox& box) {
  mClipBox = box;
  for (IControl* control : mControls) {
    if (!control->IsHidden() && box.Overlaps(control->Box())) control->Paint(this);
    control->MarkPainted();
  }
}

// Repaints each changed control together with whatever overlaps it; a
// changed background repaints everything visible.
void IGraphics::PaintChangedOnly() {
  IControl* background = mControls[0];
  if (background->NeedsPaint()) {
    mClipBox = background->Box();
    for (size_t j = 0; j < mControls.size(); ++j) {
      IControl* control = mControls[j];
      if (j != 0 && control->IsHidden()) continue;
      control->Paint(this);
      control->MarkPainted();
    }
    return;
  }
  for (size_t i = 1; i < mControls.size(); ++i) {
    IControl* changed = mControls[i];
    if (!changed->NeedsPaint()) continue;
    mClipBox = changed->Box();
    for (size_t j = 0; j < mControls.size(); ++j) {
      IControl* control = mControls[j];
      if (control->IsHidden()) continue;
      if (j == i || control->Box().Overlaps(mClipBox)) control->Paint(this);
    }
    changed->MarkPainted();
  }
}

bool IGraphics::DrawBitmapFrame(const IBitmapRef& artwork, const IBox& dest, int srcX, int srcY,
                                const IBlendSpec* blend) {
  // Missing artwork paints nothing.
  if (!artwork.bitmap || !mDrawSurface) return false;
  if (mScale != 1.0) {
    if (!dest.Overlaps(mClipBox)) return true;
    return DrawScaledFrame(artwork, dest, srcX, srcY,
                           blend ? BlendModeOf(blend->method) : ModeUseSourceAlpha | ModeCopy,
                           blend ? blend->weight : 1.0f);
  }
  IBox r;
  if (dest.Overlaps(mClipBox))
    r = IBox(std::max(dest.left, mClipBox.left), std::max(dest.top, mClipBox.top), std::min(dest.right, mClipBox.right),
             std::min(dest.bottom, mClipBox.bottom));
  if (r.IsEmpty()) return true;
  int sx = srcX + (r.left - dest.left);
  int sy = srcY + (r.top - dest.top);
  int mode = blend ? BlendModeOf(blend->method) : (ModeUseSourceAlpha | ModeCopy);
  float weight = blend ? blend->weight : 1.0f;
  PIX_Rect src{sx, sy, sx + r.right - r.left, sy + r.bottom - r.top};
  BlitBitmap(mDrawSurface, artwork.bitmap, r.left, r.top, &src, weight, mode);
  return true;
}

bool IGraphics::FillDeviceRect(const IBox& device, uint32_t argb, float alpha) {
  if (!mDrawSurface) return false;
  const IBox clip = ToDevice(mClipBox);
  const IBox r(std::max(device.left, clip.left), std::max(device.top, clip.top), std::min(device.right, clip.right),
               std::min(device.bottom, clip.bottom));
  if (r.right <= r.left || r.bottom <= r.top) return true;
  FillRect(mDrawSurface, r.left, r.top, r.right - r.left, r.bottom - r.top, argb, alpha, ModeCopy);
  return true;
}

namespace {
// Text-format bits understood by the font's RenderText.
constexpr uint32_t kTextCentre = 0x1;
constexpr uint32_t kTextRight = 0x2;
constexpr uint32_t kTextNoClip = 0x100;
constexpr uint32_t kTextMeasure = 0x400;

PIX_IFont* FontForStyle(ITextStyle& style) {
  if (style.cachedFont) return style.cachedFont;
  PIX_IFont* font = FontCache::Find(style.size, style.orientation, style.style, style.faceName);
  if (!font) {
    font = CreateSystemFont(style.faceName, style.size, style.orientation, style.style, style.quality);
    if (!font) return nullptr;
    FontCache::Add(style.size, style.orientation, style.style, style.faceName, font);
  }
  style.cachedFont = font;
  return font;
}
}  // namespace

bool IGraphics::DrawTextInBox(ITextStyle& style, const char* text, IBox& box, bool measure) {
  if (!text || !*text) return true;
  PIX_IFont* font = FontForStyle(style);
  if (!font) return false;
  font->ChangeTextColour(style.colour.ToPixel());

  uint32_t flags = kTextNoClip;
  if (style.colour.alpha != 255) flags |= TextAlphaFromColour;
  if (style.alignment == TextAlignCentre)
    flags |= kTextCentre;
  else if (style.alignment != TextAlignLeft)
    flags |= kTextRight;

  if (measure) {
    PIX_Rect r{0, 0, 0, 0};
    font->RenderText(mDrawSurface, text, -1, &r, flags | kTextMeasure);
    int w = r.right;
    int h = r.bottom;
    box.bottom = box.top + h;
    if (style.alignment == TextAlignLeft) {
      box.right = box.left + w;
    } else if (style.alignment == TextAlignCentre) {
      box.left = -(w / 2) - int(std::trunc(-0.5f * float(box.left + box.right)));
      box.right = box.left + w;
    } else {
      box.left = box.right - w;
    }
    return true;
  }
  PIX_Rect r{box.left, box.top, box.right, box.bottom};
  font->RenderText(mDrawSurface, text, -1, &r, flags);
  return true;
}
