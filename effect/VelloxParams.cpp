#include "VelloxParams.h"

#include <algorithm>

#include "IEffectBase.h"

namespace {

// Display text and length of each NOTE entry: quarters / per quarter notes,
// or -quarters bars. Whole numbers, so that a cycle length in frames is one
// division of an exact product where the tempo allows.
struct NoteEntry {
  const char* text;
  double quarters;
  double per;
};

constexpr NoteEntry kNotes[kVelloxNoteCount] = {
    {"1/32", 1, 8}, {"1/16T", 1, 6}, {"1/16", 1, 4},   {"1/8T", 1, 3},    {"1/16D", 3, 8},
    {"1/8", 1, 2},  {"1/4T", 2, 3},  {"1/8D", 3, 4},   {"1/4", 1, 1},     {"1/2T", 4, 3},
    {"1/4D", 3, 2}, {"1/2", 2, 1},   {"1 bar", -1, 1}, {"2 bars", -2, 1}, {"4 bars", -4, 1},
};

double NoteWhole(const NoteEntry& e, double barQuarters) {
  return e.quarters < 0.0 ? -e.quarters * barQuarters : e.quarters;
}

}  // namespace

double VelloxNoteFrames(int index, double barQuarters, double framesPerQuarter) {
  const NoteEntry& e = kNotes[std::clamp(index, 0, kVelloxNoteCount - 1)];
  return NoteWhole(e, barQuarters) * framesPerQuarter / e.per;
}

// Each label names the unit of the number shown beside it: FADE is the
// smoother's cut-off rate in hertz, CHOP the cycle timing in seconds and DRY
// a plain level factor from 0 to 1.
void DefineVelloxParams(IEffectBase& plug) {
  plug.GetParam(kVelloxFade)->Define("FADE", 5.0, 5.0, 50.0, 0.01, "Hz", "", 1.0);
  plug.GetParam(kVelloxChop)->Define("CHOP", 0.22, 0.22, 1.0, 0.01, "s", "", 1.0);
  plug.GetParam(kVelloxDry)->Define("DRY", 0.0, 0.0, 1.0, 0.01, "", "", 1.0);
  plug.GetParam(kVelloxOutput)->Define("OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB", "", 1.0);
  IParamSlot* by = plug.GetParam(kVelloxBy);
  by->SetType(kParamInteger);
  by->Define("BY", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
  by->AddDisplayText(0, "Off");
  by->AddDisplayText(1, "On");
  IParamSlot* sync = plug.GetParam(kVelloxSync);
  sync->SetType(kParamInteger);
  sync->Define("SYNC", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
  sync->AddDisplayText(0, "Off");
  sync->AddDisplayText(1, "On");
  IParamSlot* note = plug.GetParam(kVelloxNote);
  note->SetType(kParamInteger);
  note->Define("NOTE", kVelloxNoteDefault, 0.0, kVelloxNoteCount - 1, 1.0, "", "", 1.0);
  for (int i = 0; i < kVelloxNoteCount; ++i) note->AddDisplayText(i, kNotes[i].text);
  plug.SetStateLayoutParams(kVelloxFirstLayoutParams);
}
