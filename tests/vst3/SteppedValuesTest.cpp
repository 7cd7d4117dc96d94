// For every stepped parameter the host's text, the audio, the editor and a
// restored state take the same entry from a figure, at the steps and between.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EffectRig.h"
#include "IControl.h"
#include "IGraphics.h"
#include "ISelectorControl.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRate = 8000.0;
constexpr int kBlock = 500;
constexpr int kBlocks = 70;  // 4.4 s: past the first off phase of a 2-bar cycle at 120 BPM

std::string Narrow(const TChar* text) {
  std::string s;
  for (; *text; ++text) s.push_back(static_cast<char>(*text));
  return s;
}

struct Stepped {
  ParamID id;
  int steps;
  std::vector<std::string> texts;
};

const std::vector<Stepped> kStepped = {{kVelloxBy, 1, {"Off", "On"}},
                                       {kVelloxSync, 1, {"Off", "On"}},
                                       {kVelloxNote,
                                        14,
                                        {"1/32", "1/16T", "1/16", "1/8T", "1/16D", "1/8", "1/4T", "1/8D", "1/4", "1/2T",
                                         "1/4D", "1/2", "1 bar", "2 bars", "4 bars"}},
                                       {kBypassParamId, 1, {"Off", "On"}}};

// Computed independently: the nearest step, half way up; the bypass is on above half.
int ExpectedEntry(const Stepped& p, double figure) {
  const double n = std::min(std::max(figure, 0.0), 1.0);
  if (p.id == kBypassParamId) return n > 0.5 ? 1 : 0;
  return static_cast<int>(std::floor(n * p.steps + 0.5));
}

// Channel 0 of a constant input with the figure queued at the first frame,
// at 120 BPM in 4/4, SYNC on for NOTE.
std::vector<float> Render(EffectRig& rig, const Stepped& p, double figure) {
  rig.Setup(kSample32, kBlock, kRate);
  FakeParamChanges first;
  if (p.id == kVelloxNote) first.Add(kVelloxSync, {{0, 1.0}});
  first.Add(p.id, {{0, figure}});
  ProcessContext context = {};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kProjectTimeMusicValid |
                  ProcessContext::kTimeSigValid;
  context.sampleRate = kRate;
  context.tempo = 120.0;
  context.timeSigNumerator = context.timeSigDenominator = 4;
  HostBus<float> in(2, kBlock, 0.5f);
  std::vector<float> rendered;
  for (int b = 0; b < kBlocks; ++b) {
    HostBus<float> out(2, kBlock);
    ProcessData data = MakeProcessData(kSample32, kBlock, &in.buffers, 1, &out.buffers, 1);
    data.processContext = &context;
    data.inputParameterChanges = b == 0 ? &first : nullptr;
    EXPECT_EQ(rig.Process(data), kResultOk);
    rendered.insert(rendered.end(), out.samples[0].begin(), out.samples[0].end());
    context.projectTimeSamples += kBlock;
    context.projectTimeMusic += kBlock / kRate * 2.0;
  }
  return rendered;
}

int EditorEntry(EffectRig& rig, int index) {
  auto* editor = dynamic_cast<IGraphics*>(rig.effect->Graphics());
  if (!editor) return -1;
  editor->SyncParamValues();
  for (int i = 0; i < editor->NControls(); ++i) {
    const IControl* control = editor->GetControl(i);
    if (control->ParamIdx() != index) continue;
    if (auto* selector = dynamic_cast<const ISelectorControl*>(control)) return selector->Entry();
    return FrameForValue(2, control->GetValue()) - 1;
  }
  return -1;
}

// The value a saved state holding the figure's plain value restores to.
double RestoredValue(const Stepped& p, double figure) {
  EffectRig rig;
  std::vector<double> values = {5.0, 0.22, 0.0, 0.0, 0.0, 0.0, 8.0};  // BY fifth; SYNC, NOTE in the tail
  values[p.id == kVelloxBy ? 4 : 5 + p.id - kVelloxSync] = figure * p.steps;
  std::vector<uint8_t> bytes = LittleEndianDoubles(values);
  bytes.insert(bytes.begin() + 40, {0, 0, 0, 0, 'V', 'L', 'X', 'E', 1, 0, 0, 0, 16, 0, 0, 0});
  FakeStream stream(bytes);
  EXPECT_EQ(rig.controller->setState(&stream), kResultOk);
  return rig.effect->GetParam(static_cast<int>(p.id))->Value();
}

}  // namespace

TEST(SteppedValues, TextAudioEditorAndRestoreTakeTheSameEntry) {
  for (const Stepped& p : kStepped) {
    // Every step (also in single precision), either side of every half step, MIDI's 64/127.
    std::vector<double> figures = {64.0 / 127.0, 0.25, 0.49, 0.5, 0.75, 0.99};
    std::vector<std::vector<float>> atStep;
    for (int k = 0; k <= p.steps; ++k) {
      figures.push_back(static_cast<float>(static_cast<double>(k) / p.steps));
      figures.push_back(static_cast<double>(k) / p.steps);
      if (k < p.steps) figures.insert(figures.end(), {(k + 0.5) / p.steps - 1e-9, (k + 0.5) / p.steps + 1e-9});
      EffectRig rig;
      atStep.push_back(Render(rig, p, static_cast<double>(k) / p.steps));
      // Each entry sounds unlike its neighbour, so matching its audio means taking it.
      if (k > 0) {
        ASSERT_NE(atStep[k - 1], atStep[k]) << p.id << " entry " << k;
      }
    }
    for (double figure : figures) {
      SCOPED_TRACE("parameter " + std::to_string(p.id) + " at " + std::to_string(figure));
      const int entry = ExpectedEntry(p, figure);
      EffectRig rig;
      String128 text = {};
      ASSERT_EQ(rig.controller->getParamStringByValue(p.id, figure, text), kResultOk);
      EXPECT_EQ(Narrow(text), p.texts[static_cast<size_t>(entry)]);
      EXPECT_TRUE(Render(rig, p, figure) == atStep[entry]);
      if (p.id == kBypassParamId) continue;
      EXPECT_EQ(EditorEntry(rig, static_cast<int>(p.id)), entry);
      EXPECT_EQ(RestoredValue(p, figure), entry);
      ParamValue back = -1.0;
      ASSERT_EQ(rig.controller->getParamValueByString(p.id, text, back), kResultOk);
      EXPECT_EQ(back, static_cast<double>(entry) / p.steps);
    }
  }
}

// Out of range shows the limited value; not finite is ignored, so shows the
// current one. Stepped texts take back their own names or a whole index in
// range, never another notation's leading digits.
TEST(SteppedValues, TextsOfFiguresOutOfRangeAndTextsTakenBackOnlyWhole) {
  EffectRig rig;
  rig.controller->setParamNormalized(kVelloxNote, 3.0 / 14.0);
  rig.controller->setParamNormalized(kVelloxSync, 1.0);
  rig.controller->setParamNormalized(kVelloxOutput, 0.75);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    ParamID id;
    double figure;
    const char* text;
  } rows[] = {
      {kVelloxOutput, 1.5, "10.00"}, {kVelloxOutput, -0.5, "-10.00"}, {kVelloxOutput, -inf, "5.00"},
      {kVelloxOutput, nan, "5.00"},  {kVelloxNote, 1.5, "4 bars"},    {kVelloxNote, -0.5, "1/32"},
      {kVelloxNote, nan, "1/8T"},    {kVelloxNote, inf, "1/8T"},      {kVelloxSync, -0.5, "Off"},
      {kVelloxSync, -inf, "On"},     {kVelloxSync, nan, "On"},        {kVelloxFade, 2.0, "50.00"},
      {kBypassParamId, 1.5, "On"},   {kBypassParamId, inf, "Off"},    {kBypassParamId, nan, "Off"},
  };
  for (const auto& row : rows) {
    String128 text = {};
    ASSERT_EQ(rig.controller->getParamStringByValue(row.id, row.figure, text), kResultOk) << row.id;
    EXPECT_EQ(Narrow(text), row.text) << row.id << " at " << row.figure;
  }

  const struct {
    ParamID id;
    const char16_t* text;
    double value;  // -1: refused
  } texts[] = {
      {kVelloxNote, u"5 bars", -1.0},  {kVelloxNote, u"1/8", 5.0 / 14.0}, {kVelloxNote, u" 2 BARS ", 13.0 / 14.0},
      {kVelloxNote, u"5", 5.0 / 14.0}, {kVelloxNote, u"15", -1.0},        {kVelloxNote, u"5.5", -1.0},
      {kVelloxNote, u"-1", -1.0},      {kVelloxNote, u"1/64", -1.0},      {kVelloxSync, u"1/64", -1.0},
      {kVelloxSync, u"1", 1.0},        {kVelloxSync, u"0x10", -1.0},      {kVelloxBy, u"1.0", -1.0},
      {kVelloxBy, u"2", -1.0},         {kBypassParamId, u"0x10", -1.0},   {kBypassParamId, u".7", -1.0},
      {kPresetParamId, u"0x10", -1.0}, {kVelloxOutput, u"0x10", -1.0},    {kVelloxOutput, u"2,5", -1.0},
      {kVelloxOutput, u"1/2", -1.0},   {kVelloxFade, u"1.2.3", -1.0},
  };
  for (const auto& row : texts) {
    String128 text = {};
    std::u16string(row.text).copy(reinterpret_cast<char16_t*>(text), 127);
    ParamValue value = -1.0;
    const tresult result = rig.controller->getParamValueByString(row.id, text, value);
    EXPECT_EQ(result, row.value < 0.0 ? kResultFalse : kResultOk) << row.id << " '" << Narrow(text) << "'";
    if (result == kResultOk) {
      EXPECT_DOUBLE_EQ(value, row.value) << row.id << " '" << Narrow(text) << "'";
    }
  }
}
