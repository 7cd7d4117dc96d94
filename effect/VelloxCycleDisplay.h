#pragma once

#include <vector>

#include "IControl.h"

class VelloxCyclePosition;

// One cycle of the gate: the level curve the settings make, drawn in device
// pixels over the panel's display bed, and, while the pattern plays, the
// playhead where the audio is. It moves as the audio runs and stays where
// it was when the host stops processing.
class VelloxCycleDisplay : public IControl {
public:
  // position: where the audio is, or null for no playhead.
  VelloxCycleDisplay(IEffectBase* plug, const IBox& box, const VelloxCyclePosition* position);

  bool Paint(IGraphics* graphics) override;
  void ReceiveLinkedValue(int position, double value) override;
  bool NeedsPaint() override;

  // The playhead's column in a display `width` device pixels wide for a
  // phase, -1 for none (the audio has not run yet).
  static int PlayheadColumn(double phase, int width);
  // The phase the playhead was last drawn at.
  double ShownPhase() const { return mShownPhase; }

private:
  void MakeCurve(int width);
  bool PatternOn() const;

  const VelloxCyclePosition* mPosition;
  std::vector<float> mLevels;  // one per device column
  bool mCurveStale = true;
  double mShownPhase = -1.0;  // the playhead's phase as last drawn
};
