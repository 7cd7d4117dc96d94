#include <algorithm>

#include "../plug/IEffectBase.h"
#include "IControl.h"
#include "IGraphics.h"

int IGraphics::ControlAt(int x, int y) {
  for (int i = NControls() - 1; i >= 0; --i) {
    IControl* control = mControls[size_t(i)];
    if (!control->IsHidden() && !control->IsGrayed() && control->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::ReleasePointerCapture() {
  mCaptured = -1;
  mLastX = -1;
  mLastY = -1;
}

// Every BeginHostEdit gets exactly one EndHostEdit: a release closes the
// gesture its press opened, and only that one. Releases that follow a press
// which opened none (on empty space, the host's context menu, a double click)
// still reach the control but send the host no stray end.
void IGraphics::CloseEditGesture() {
  int p = mOpenEditParam;
  mOpenEditParam = -1;
  if (p >= 0 && mPlug) mPlug->EndHostEdit(p);
}

void IGraphics::EndWheelGesture() {
  int p = mWheelParam;
  mWheelParam = -1;
  mWheelIdleTicks = 0;
  if (p >= 0 && mPlug) mPlug->EndHostEdit(p);
}

void IGraphics::EndAllGestures() {
  EndWheelGesture();
  CloseEditGesture();
}

void IGraphics::AgeWheelGesture() {
  if (mWheelParam < 0) return;
  const int limit = mFrameRate > 0 ? std::max(1, (mFrameRate * 2 + 2) / 5) : 1;  // about 0.4 s
  if (++mWheelIdleTicks >= limit) EndWheelGesture();
}

void IGraphics::DispatchPointerDown(int x, int y, const IPointerMods& mods) {
  EndWheelGesture();
  CloseEditGesture();
  ReleasePointerCapture();
  int i = ControlAt(x, y);
  if (i < 0) return;
  mCaptured = i;
  mLastX = x;
  mLastY = y;
  IControl* control = mControls[size_t(i)];
  int p = control->ParamIdx();
  if (mPlug && HostOffersParamMenu(mPlug->AdapterKind()) && mods.right) {
    // The host's own menu for the parameter replaces the control's reaction.
    if (p >= 0) {
      ReleasePointerCapture();
      mPlug->OpenHostContextMenu(p, x, y);
      return;
    }
  } else if (p >= 0 && mPlug) {
    mPlug->BeginHostEdit(p);
    mOpenEditParam = p;
  }
  control->PointerDown(x, y, mods);
}

void IGraphics::DispatchPointerDrag(int x, int y, const IPointerMods& mods) {
  if (mCaptured < 0) return;
  int dx = x - mLastX;
  int dy = y - mLastY;
  if (dx == 0 && dy == 0) return;
  mLastX = x;
  mLastY = y;
  mControls[size_t(mCaptured)]->PointerDrag(x, y, dx, dy, mods);
}

void IGraphics::DispatchPointerUp(int x, int y, const IPointerMods& mods) {
  int i = mCaptured >= 0 ? mCaptured : ControlAt(x, y);
  ReleasePointerCapture();
  if (i >= 0) mControls[size_t(i)]->PointerUp(x, y, mods);
  CloseEditGesture();
}

// Hosts that record touch automation keep only edits inside a gesture, so a
// double click is one too: a reset is begin, change, end; a control that
// takes the double click as a press opens the gesture its release closes.
void IGraphics::DispatchDoubleClick(int x, int y, const IPointerMods& mods) {
  EndAllGestures();
  ReleasePointerCapture();
  int i = ControlAt(x, y);
  if (i < 0) return;
  IControl* control = mControls[size_t(i)];
  const int p = mPlug ? control->ParamIdx() : -1;
  if (p >= 0) {
    mPlug->BeginHostEdit(p);
    mOpenEditParam = p;
  }
  if (control->DoubleClickIsPress()) {
    mCaptured = i;
    mLastX = x;
    mLastY = y;
    control->PointerDown(x, y, mods);
  } else {
    control->PointerDoubleClick(x, y, mods);
    CloseEditGesture();
  }
}

void IGraphics::DispatchWheel(int x, int y, const IPointerMods& mods, int notches) {
  int i = mCaptured >= 0 ? mCaptured : ControlAt(x, y);
  if (i < 0) return;
  IControl* control = mControls[size_t(i)];
  // A wheel turn during a press belongs to the press's gesture.
  const int p = mPlug && mOpenEditParam < 0 ? control->ParamIdx() : -1;
  if (p != mWheelParam) EndWheelGesture();
  if (p >= 0 && mWheelParam < 0) {
    mPlug->BeginHostEdit(p);
    mWheelParam = p;
  }
  mWheelIdleTicks = 0;
  control->WheelTurn(x, y, mods, notches);
}

bool IGraphics::DispatchPointerOver(int x, int y, const IPointerMods& mods) {
  if (!mHoverTracking) return false;
  int i = mCaptured;
  if (i < 0) {
    for (int j = NControls() - 1; j >= 0; --j) {
      IControl* c = mControls[size_t(j)];
      if (!c->IsHidden() && (!c->IsGrayed() || c->HoverWhenGrayed()) && c->HitTest(x, y)) {
        i = j;
        break;
      }
    }
    if (i < 0) return true;
  }
  mLastX = x;
  mLastY = y;
  mControls[size_t(i)]->PointerOver(x, y, mods);
  if (mHovered >= 0 && mHovered != i) mControls[size_t(mHovered)]->PointerLeave();
  mHovered = i;
  return true;
}

void IGraphics::DispatchPointerLeave() {
  for (IControl* control : mControls) control->PointerLeave();
  mHovered = -1;
}

bool IGraphics::DispatchKey(int x, int y, KeyCode key) {
  int i = mCaptured >= 0 ? mCaptured : ControlAt(x, y);
  if (i > 0) return mControls[size_t(i)]->KeyPress(x, y, key);
  return mKeyCatcher ? mKeyCatcher->KeyPress(x, y, key) : false;
}
