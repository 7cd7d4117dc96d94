#pragma once

#include "IBitmapControl.h"

// A multi-state switch: each press advances to the next of the strip's
// evenly spaced values and wraps to 0 after 1.
class ISwitchControl : public IBitmapControl {
public:
  using IBitmapControl::IBitmapControl;

  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void PointerDoubleClick(int x, int y, const IPointerMods& mods) override;
};
