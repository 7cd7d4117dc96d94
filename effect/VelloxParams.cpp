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

// How a parameter's values read: a plain number, a switch or a list of texts.
enum class Kind { kNumber, kSwitch, kList, kWhole };

constexpr const char* kOffOn[] = {"Off", "On"};
constexpr const char* kOffMidi[] = {"Off", "MIDI"};

// One line per parameter, in index order. Each label names the unit of the
// number shown beside it: FADE is the smoother's cut-off rate in hertz, CHOP
// the cycle timing in seconds, DRY and the step levels plain factors from 0 to 1.
struct ParamRow {
  const char* name;
  double defaultValue, min, max, step;
  const char* label;
  Kind kind;
  const char* const* texts;
};

constexpr ParamRow Step(const char* name) { return {name, 1.0, 0.0, 1.0, 0.01, "", Kind::kNumber, nullptr}; }

constexpr ParamRow kRows[kVelloxNumParams] = {
    {"FADE", 5.0, 5.0, 50.0, 0.01, "Hz", Kind::kNumber, nullptr},
    {"CHOP", 0.22, 0.22, 1.0, 0.01, "s", Kind::kNumber, nullptr},
    {"DRY", 0.0, 0.0, 1.0, 0.01, "", Kind::kNumber, nullptr},
    {"OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB", Kind::kNumber, nullptr},
    {"BY", 0.0, 0.0, 1.0, 1.0, "", Kind::kSwitch, kOffOn},
    {"SYNC", 0.0, 0.0, 1.0, 1.0, "", Kind::kSwitch, kOffOn},
    {"NOTE", kVelloxNoteDefault, 0.0, kVelloxNoteCount - 1, 1.0, "", Kind::kList, nullptr},
    {"PATTERN", 0.0, 0.0, 1.0, 1.0, "", Kind::kSwitch, kOffOn},
    {"STEPS", kVelloxStepsDefault, 1.0, kVelloxMaxSteps, 1.0, "", Kind::kWhole, nullptr},
    Step("STEP 1"),
    Step("STEP 2"),
    Step("STEP 3"),
    Step("STEP 4"),
    Step("STEP 5"),
    Step("STEP 6"),
    Step("STEP 7"),
    Step("STEP 8"),
    Step("STEP 9"),
    Step("STEP 10"),
    Step("STEP 11"),
    Step("STEP 12"),
    Step("STEP 13"),
    Step("STEP 14"),
    Step("STEP 15"),
    Step("STEP 16"),
    {"GATE", 50.0, 5.0, 100.0, 1.0, "%", Kind::kNumber, nullptr},
    {"SWING", 0.0, 0.0, 75.0, 1.0, "%", Kind::kNumber, nullptr},
    {"OFFSET", 0.0, 0.0, 50.0, 1.0, "%", Kind::kNumber, nullptr},
    {"RETRIG", 0.0, 0.0, 1.0, 1.0, "", Kind::kSwitch, kOffMidi},
};

}  // namespace

double VelloxNoteFrames(int index, double barQuarters, double framesPerQuarter) {
  const NoteEntry& e = kNotes[std::clamp(index, 0, kVelloxNoteCount - 1)];
  return NoteWhole(e, barQuarters) * framesPerQuarter / e.per;
}

void DefineVelloxParams(IEffectBase& plug) {
  for (int i = 0; i < kVelloxNumParams; ++i) {
    const ParamRow& row = kRows[i];
    IParamSlot* slot = plug.GetParam(i);
    if (row.kind != Kind::kNumber) slot->SetType(kParamInteger);
    slot->Define(row.name, row.defaultValue, row.min, row.max, row.step, row.label, "", 1.0);
    if (row.kind == Kind::kSwitch)
      for (int v = 0; v < 2; ++v) slot->AddDisplayText(v, row.texts[v]);
    if (row.kind == Kind::kList)
      for (int v = 0; v < kVelloxNoteCount; ++v) slot->AddDisplayText(v, kNotes[v].text);
  }
  plug.SetStateLayoutParams(kVelloxFirstLayoutParams);
}
