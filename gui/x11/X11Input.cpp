#include "X11Input.h"

#include <xcb/xproto.h>

namespace {

bool Holds(uint16_t state, uint16_t mask, int pressed, int released, int self) {
  if (pressed == self) return true;
  if (released == self) return false;
  return (state & mask) != 0;
}

}  // namespace

IPointerMods ModsFromState(uint16_t state, int pressed, int released) {
  IPointerMods mods;
  mods.left = Holds(state, XCB_BUTTON_MASK_1, pressed, released, kButtonLeft);
  mods.right = Holds(state, XCB_BUTTON_MASK_3, pressed, released, kButtonRight);
  mods.shift = (state & XCB_MOD_MASK_SHIFT) != 0;
  mods.control = (state & XCB_MOD_MASK_CONTROL) != 0;
  mods.alt = (state & XCB_MOD_MASK_1) != 0;
  return mods;
}

int KeyCodeForKeySym(uint32_t keysym) {
  constexpr uint32_t kSpace = 0x20, kLeft = 0xff51, kUp = 0xff52, kRight = 0xff53, kDown = 0xff54;
  switch (keysym) {
    case kSpace: return 0;
    case kUp: return 1;
    case kDown: return 2;
    case kLeft: return 3;
    case kRight: return 4;
    default: break;
  }
  if (keysym >= '0' && keysym <= '9') return 5 + int(keysym - '0');
  if (keysym >= 'a' && keysym <= 'z') return 15 + int(keysym - 'a');
  if (keysym >= 'A' && keysym <= 'Z') return 15 + int(keysym - 'A');
  return -1;
}
