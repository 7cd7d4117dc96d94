#pragma once

#include <cstdint>

#include "IGuiTypes.h"

// Translation of X input fields into the core's terms.

// X pointer buttons.
enum X11Button : int {
  kButtonLeft = 1,
  kButtonMiddle = 2,
  kButtonRight = 3,
  kWheelUp = 4,
  kWheelDown = 5,
  kWheelLeft = 6,
  kWheelRight = 7,
};

// Modifiers from an event's state word. X reports the state before the
// event; `pressed` and `released` name the button the event itself presses
// or releases, so that the result matches what Windows reports with the
// message (the pressed button held, the released one not).
IPointerMods ModsFromState(uint16_t state, int pressed = 0, int released = 0);

// Key code for the key's unshifted symbol, or -1 for a key no control takes.
int KeyCodeForKeySym(uint32_t keysym);
