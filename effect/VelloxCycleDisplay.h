#pragma once

#include <vector>

#include "IControl.h"

// One cycle of the gate: the level curve the settings make, drawn in device
// pixels over the panel's display bed, and the playhead where the audio is.
class VelloxCycleDisplay : public IControl {
public:
  VelloxCycleDisplay(IEffectBase* plug, const IBox& box);

  bool Paint(IGraphics* graphics) override;
  void ReceiveLinkedValue(int position, double value) override;
  bool NeedsPaint() override;

  // The playhead's column in a display `width` device pixels wide, -1 when
  // the audio has not run yet.
  int PlayheadColumn(int width) const;

private:
  void MakeCurve(int width);

  std::vector<float> mLevels;  // one per device column
  bool mCurveStale = true;
  double mShownPhase = -1.0;  // the playhead's phase as last drawn
};
