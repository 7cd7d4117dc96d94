#pragma once

#include "IControl.h"

// The pattern's 16 step levels as bars side by side, one control for all of
// them so that a Shift-drag can draw across bars. A vertical drag sets the
// level of the bar pressed, a click toggles it between 0 and 1, a drag with
// Shift held draws the levels along the pointer's path. Bars past STEPS are
// drawn dimmed and stay editable. The bar under the pointer is the bound
// parameter, so the routing opens its edit gesture and the host's context
// menu is the one for that step; bars a Shift-drag reaches later get theirs
// here, and all are closed on release.
class VelloxStepBars : public IControl {
public:
  static constexpr int kBars = 16;
  static constexpr int kPitch = 26;  // bar width plus the gap after it
  static constexpr int kClickSlop = 3;

  // bar: one frame per level, level 0 on top; its frame is one bar's size.
  VelloxStepBars(IEffectBase* plug, int x, int y, const IBitmapRef& bar);

  bool Paint(IGraphics* graphics) override;
  bool HitTest(int x, int y) override;
  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void PointerUp(int x, int y, const IPointerMods& mods) override;
  // A notch moves the bar under the pointer by 0.01, as it moves a knob.
  void WheelTurn(int x, int y, const IPointerMods& mods, int notches) override;

  // The bar at editor column x (a gap belongs to the bar on its left).
  int BarAt(int x) const;
  // The level a point at editor row y stands for in a bar.
  double LevelAt(int y) const;
  double Level(int bar) const { return LinkedValue(bar); }
  int ActiveSteps() const;

private:
  IBox BarBox(int bar) const;
  void SetLevel(int bar, double level);
  void DrawLine(int x0, int y0, int x1, int y1);

  IBitmapRef mBar;
  int mBarWidth, mBarHeight;
  int mPressed = -1;      // the bar a left press went to, -1 when none
  bool mDrawing = false;  // the press came with Shift: draw along the path
  int mDistance = 0;      // pointer travel of the press
  int mDrawX = 0, mDrawY = 0;
  bool mTouched[kBars] = {};  // bars whose gesture this control opened
};
