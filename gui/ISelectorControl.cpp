#include "ISelectorControl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Pointer travel a press may have and still count as a click.
constexpr int kClickSlop = 3;
}  // namespace

ISelectorControl::ISelectorControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmapRef& artwork)
    : IBitmapControl(plug, x, y, paramIdx, artwork, kBlendAlpha) {
  SetDoubleClickIsPress(true);
}

int ISelectorControl::Entry() const {
  const double value = GetValue();
  if (!(value > 0.0)) return 0;  // NaN too
  return std::min(LastEntry(), int(std::lround(std::min(value, 1.0) * LastEntry())));
}

void ISelectorControl::ShowEntry(int entry) {
  if (LastEntry() < 1) return;
  SetValue(double(std::clamp(entry, 0, LastEntry())) / LastEntry());
  MarkChanged(true);
}

void ISelectorControl::PointerDown(int x, int y, const IPointerMods& mods) {
  if (mods.right) {
    IControl::PointerDown(x, y, mods);
    return;
  }
  mPressed = true;
  mMoved = false;
  mTravel = 0;
  mDistance = 0;
}

void ISelectorControl::PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) {
  if (!mPressed) return;
  mDistance += std::abs(dx) + std::abs(dy);
  if (mDistance > kClickSlop) mMoved = true;
  mTravel -= dy;
  const int steps = mTravel / kDragStepPixels;  // toward zero: the remainder waits
  if (steps == 0) return;
  mTravel -= steps * kDragStepPixels;
  const int entry = std::clamp(Entry() + steps, 0, LastEntry());
  // At an end the excess is dropped, so moving back turns at once.
  if (entry == 0 || entry == LastEntry()) mTravel = 0;
  if (entry != Entry()) ShowEntry(entry);
}

void ISelectorControl::PointerUp(int x, int y, const IPointerMods& mods) {
  if (!mPressed) return;
  mPressed = false;
  if (mMoved || LastEntry() < 1) return;
  const int count = LastEntry() + 1;
  ShowEntry((Entry() + (mods.shift ? count - 1 : 1)) % count);
}

void ISelectorControl::WheelTurn(int x, int y, const IPointerMods& mods, int notches) {
  const int steps = std::clamp(notches, -LastEntry(), LastEntry());
  const int entry = std::clamp(Entry() + steps, 0, LastEntry());
  if (entry != Entry()) ShowEntry(entry);
}
