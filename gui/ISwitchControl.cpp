#include "ISwitchControl.h"

void ISwitchControl::PointerDown(int x, int y, const IPointerMods& mods) {
  int n = mArtwork.frameCount;
  double step = n > 1 ? 1.0 / (n - 1) : 1.0;
  double value = GetValue() + step;
  if (value > 1.001) value = 0.0;
  SetValue(value);
  MarkChanged(true);
}

void ISwitchControl::PointerDoubleClick(int x, int y, const IPointerMods& mods) { PointerDown(x, y, mods); }
