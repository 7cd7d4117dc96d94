#include "IGraphics.h"

#include <cmath>
#include <limits>

#include "../pix/PIX_Bitmap.h"
#include "../pix/PIX_SysBitmap.h"
#include "../plug/IEffectBase.h"
#include "IControl.h"
#include "IResourceCaches.h"

namespace {
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
}

IGraphics::IGraphics(IEffectBase* plug, int width, int height, int frameRate)
    : mPlug(plug), mWidth(width), mHeight(height), mFrameRate(frameRate), mRequestedScale(kNone) {
  // The plug-in base makes its parameter slots before any editor exists.
  mNParams = plug ? plug->NParams() : 0;
  // Values the slots hold now reach the controls through BindGraphics; the
  // ticks show what changes afterwards.
  for (int i = 0; i < mNParams; ++i) mSeen.push_back(plug->GetParam(i)->Value());
}

IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DestroyControls();
  DestroySurfaces();
}

void IGraphics::DestroyControls() {
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
  mControls.push_back(control);
  return int(mControls.size()) - 1;
}

void IGraphics::AddBackground(IControl* control) {
  control->AttachGraphics(this);
  mControls.insert(mControls.begin(), control);
}

void IGraphics::SetKeyCatcher(IControl* control) {
  if (control) control->AttachGraphics(this);
  delete mKeyCatcher;
  mKeyCatcher = control;
}

// The plug-in base calls this when it binds the editor, after pushing every
// parameter's value: the controls have taken those values (and with them the
// values a double click restores).
void IGraphics::CreateDrawSurfaces() {
  DestroySurfaces();
  mDrawSurface = new PIX_SysBitmap(DeviceWidth(), DeviceHeight());
  mScratch = new PIX_MemBitmap();
  SyncParamValues();
}

IBitmapRef IGraphics::LoadArtwork(int id, const char* fileName, int frameCount) {
  PIX_IBitmap* bitmap = ArtworkCache::Find(id);
  if (!bitmap) {
    bitmap = LoadArtworkResource(id, fileName);
    // A failed load is not cached, so a later attempt may still succeed.
    if (bitmap) ArtworkCache::Add(id, bitmap);
  }
  if (!bitmap) ++mMissingArtwork;
  IBitmapRef ref = BitmapRefOf(bitmap, frameCount);
  ref.id = id;
  return ref;
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

// Off the editor's thread (a program change on the audio thread, a restore
// on a host's worker thread) the controls are left alone: the value is already
// in the slot, and the next tick's SyncParamValues shows it.
void IGraphics::PushParamToControls(int index, double value, bool isNormalized) {
  if (std::this_thread::get_id() != mUiThread) return;
  if (index < 0 || index >= mNParams || std::isnan(value) || InGesture(index)) return;
  ShowParamValue(index, value, isNormalized);
}

void IGraphics::ShowParamValue(int index, double value, bool isNormalized) {
  if (!isNormalized) {
    const IParamSlot* param = mPlug ? mPlug->GetParam(index) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (IControl* control : mControls) {
    if (control->ParamIdx() == index) control->ReceivePluginValue(value);
    for (int k = 0; k < control->NLinkedParams(); ++k) {
      if (control->LinkedParamIdx(k) == index) {
        control->ReceiveLinkedValue(k, value);
        break;
      }
    }
  }
}

// The slots' values are relaxed atomics, readable without the plug-in lock,
// so the editor follows them on its own thread and the audio thread never
// touches the editor.
// Plain values are compared, so an idle tick maps none of them.
void IGraphics::SyncParamValues() {
  for (int i = 0; i < mNParams; ++i) {
    const IParamSlot* param = mPlug->GetParam(i);
    const double current = param ? param->Value() : kNone;
    const bool changed = !std::isnan(current) && !(current == mSeen[size_t(i)]);
    if (changed) mSeen[size_t(i)] = current;
    // While the user edits the parameter, the slot holds the user's value.
    if (InGesture(i)) continue;
    if (changed) ShowParamValue(i, param->ToNormalized(current), true);
  }
}

void IGraphics::NoteEditorEdit(int index) {
  const IParamSlot* param = mPlug ? mPlug->GetParam(index) : nullptr;
  if (param && index < mNParams) mSeen[size_t(index)] = param->Value();
}

void IGraphics::SetEditorSize(int width, int height) {
  mWidth = width;
  mHeight = height;
  CloseEditGesture();
  ReleasePointerCapture();
  mHovered = -1;  // the hovered control is about to be destroyed
  EndWheelGesture();
  DestroyControls();
  DestroySurfaces();
  CreateDrawSurfaces();
  // The controls added next start from the parameters' current values.
  mSeen.assign(size_t(mNParams), kNone);
  if (mPlug) mPlug->ResizeEditorFrame(DeviceWidth(), DeviceHeight());
}

bool IGraphics::HasWindow() { return EditorWindowHandle() != nullptr; }

const char* IGraphics::DrawingBackendName() { return ""; }

bool IGraphics::MeasureTextExtent(ITextStyle& style, const char* text, IBox& box) {
  return DrawTextInBox(style, text, box, true);
}

void IGraphics::MarkAllChanged() {
  for (IControl* control : mControls) control->MarkChanged(false);
}
