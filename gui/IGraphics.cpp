#include "IGraphics.h"

#include "../pix/PIX_Bitmap.h"
#include "../pix/PIX_SysBitmap.h"
#include "../plug/IEffectBase.h"
#include "IControl.h"
#include "IResourceCaches.h"

IGraphics::IGraphics(IEffectBase* plug, int width, int height, int frameRate)
    : mPlug(plug), mWidth(width), mHeight(height), mFrameRate(frameRate) {}

IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DestroyControls();
  DestroySurfaces();
}

void IGraphics::DestroyControls() {
  std::lock_guard<std::mutex> hold(mListLock);
  for (size_t i = mControls.size(); i-- > 0;) delete mControls[i];
  mControls.clear();
  mControls.shrink_to_fit();
}

void IGraphics::DestroySurfaces() {
  delete mDrawSurface;
  mDrawSurface = nullptr;
  delete mScratch;
  mScratch = nullptr;
}

int IGraphics::AddControl(IControl* control) {
  control->AttachGraphics(this);
  std::lock_guard<std::mutex> hold(mListLock);
  mControls.push_back(control);
  return int(mControls.size()) - 1;
}

void IGraphics::AddBackground(IControl* control) {
  control->AttachGraphics(this);
  std::lock_guard<std::mutex> hold(mListLock);
  mControls.insert(mControls.begin(), control);
}

void IGraphics::SetKeyCatcher(IControl* control) {
  if (control) control->AttachGraphics(this);
  delete mKeyCatcher;
  mKeyCatcher = control;
}

void IGraphics::CreateDrawSurfaces() {
  DestroySurfaces();
  mDrawSurface = new PIX_SysBitmap(mWidth, mHeight);
  mScratch = new PIX_MemBitmap();
}

IBitmapRef IGraphics::LoadArtwork(int id, const char* fileName, int frameCount) {
  PIX_IBitmap* bitmap = ArtworkCache::Find(id);
  if (!bitmap) {
    bitmap = LoadArtworkResource(id, fileName);
    // A failed load is not cached, so a later attempt may still succeed.
    if (bitmap) ArtworkCache::Add(id, bitmap);
  }
  if (!bitmap) ++mMissingArtwork;
  return BitmapRefOf(bitmap, frameCount);
}

IBitmapRef BitmapRefOf(PIX_IBitmap* bitmap, int frameCount) {
  IBitmapRef ref;
  ref.frameCount = frameCount;
  ref.framesHorizontal = false;
  if (bitmap) {
    ref.bitmap = bitmap;
    ref.width = bitmap->Width();
    ref.height = bitmap->Height();
  }
  return ref;
}

void IGraphics::DeliverParamValue(int index, double normalized) {
  std::lock_guard<std::mutex> hold(mListLock);
  for (IControl* control : mControls) {
    if (control->ParamIdx() == index) control->ReceivePluginValue(normalized);
    for (int k = 0; k < control->NLinkedParams(); ++k) {
      if (control->LinkedParamIdx(k) == index) {
        control->ReceiveLinkedValue(k, normalized);
        break;
      }
    }
  }
}

void IGraphics::PushParamToControls(int index, double value, bool isNormalized) {
  if (!isNormalized) {
    const IParamSlot* param = mPlug ? mPlug->GetParam(index) : nullptr;
    if (!param) return;  // no such parameter: nothing to convert or deliver
    value = param->ToNormalized(value);
  }
  DeliverParamValue(index, value);
}

void IGraphics::SetEditorSize(int width, int height) {
  mWidth = width;
  mHeight = height;
  CloseEditGesture();
  ReleasePointerCapture();
  mHovered = -1;  // the hovered control is about to be destroyed
  DestroyControls();
  DestroySurfaces();
  CreateDrawSurfaces();
  if (mPlug) mPlug->ResizeEditorFrame(width, height);
}

bool IGraphics::HasWindow() { return EditorWindowHandle() != nullptr; }

const char* IGraphics::DrawingBackendName() { return ""; }

bool IGraphics::MeasureTextExtent(ITextStyle& style, const char* text, IBox& box) {
  return DrawTextInBox(style, text, box, true);
}

void IGraphics::MarkAllChanged() {
  for (IControl* control : mControls) control->MarkChanged(false);
}
