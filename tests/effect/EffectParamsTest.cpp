#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "PlugTestSupport.h"
#include "EffectHarness.h"

namespace {
struct Expected {
  const char* name;
  const char* label;
  int type;
  double def, min, max, step;
  int precision;
};

const Expected kParams[] = {
    {"FADE", "Hz", kParamContinuous, 5.0, 5.0, 50.0, 0.01, 2},
    {"CHOP", "s", kParamContinuous, 0.22, 0.22, 1.0, 0.01, 2},
    {"DRY", "", kParamContinuous, 0.0, 0.0, 1.0, 0.01, 2},
    {"OUTPUT", "dB", kParamContinuous, 0.0, -10.0, 10.0, 0.01, 2},
    {"BY", "", kParamInteger, 0.0, 0.0, 1.0, 1.0, 0},
    {"SYNC", "", kParamInteger, 0.0, 0.0, 1.0, 1.0, 0},
    {"NOTE", "", kParamInteger, 8.0, 0.0, 14.0, 1.0, 0},
    {"PATTERN", "", kParamInteger, 0.0, 0.0, 1.0, 1.0, 0},
    {"STEPS", "", kParamInteger, 8.0, 1.0, 16.0, 1.0, 0},
    {"STEP 1", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 2", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 3", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 4", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 5", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 6", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 7", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 8", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 9", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 10", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 11", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 12", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 13", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 14", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 15", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"STEP 16", "", kParamContinuous, 1.0, 0.0, 1.0, 0.01, 2},
    {"GATE", "%", kParamContinuous, 50.0, 5.0, 100.0, 1.0, 0},
    {"SWING", "%", kParamContinuous, 0.0, 0.0, 75.0, 1.0, 0},
    {"OFFSET", "%", kParamContinuous, 0.0, 0.0, 50.0, 1.0, 0},
    {"RETRIG", "", kParamInteger, 0.0, 0.0, 1.0, 1.0, 0},
};

// What the editor builder saw when the constructor called it.
struct BuilderView {
  int calls = 0;
  bool paramsDefined = false;
  bool presetCaptured = true;
  EditorLog log;
};
BuilderView gBuilder;

void BuildFakeEditor(IEffectBase& plug) {
  ++gBuilder.calls;
  gBuilder.paramsDefined = std::strcmp(plug.GetParam(kVelloxBy)->Name(), "BY") == 0;
  gBuilder.presetCaptured = plug.PresetInitialised(0);
  plug.BindGraphics(new FakeEditor(gBuilder.log));
}
}  // namespace

TEST(VelloxParams, ParametersAsDefined) {
  TestEffect fx;
  ASSERT_EQ(fx.NParams(), static_cast<int>(std::size(kParams)));
  EXPECT_EQ(fx.StateLayoutParams(), 5);
  for (int i = 0; i < fx.NParams(); ++i) {
    const IParamSlot& p = *fx.GetParam(i);
    SCOPED_TRACE(kParams[i].name);
    EXPECT_STREQ(p.Name(), kParams[i].name);
    EXPECT_STREQ(p.Label(), kParams[i].label);
    EXPECT_STREQ(p.Group(), "");
    EXPECT_EQ(p.Type(), kParams[i].type);
    EXPECT_EQ(p.Default(), kParams[i].def);
    EXPECT_EQ(p.Value(), kParams[i].def);
    EXPECT_EQ(p.Min(), kParams[i].min);
    EXPECT_EQ(p.Max(), kParams[i].max);
    EXPECT_EQ(p.Step(), kParams[i].step);
    EXPECT_EQ(p.Precision(), kParams[i].precision);
    EXPECT_EQ(p.Shape(), 1.0);
    EXPECT_TRUE(p.CanAutomate());
  }
}

TEST(VelloxParams, BaseIdentityAndDefaultPreset) {
  TestEffect fx;
  EXPECT_STREQ(fx.EffectName(), "Vellox");
  EXPECT_STREQ(fx.ProductName(), "");
  EXPECT_STREQ(fx.MakerName(), "Quenwick");
  EXPECT_EQ(fx.UniqueId(), 0x564C5831);
  EXPECT_EQ(fx.MakerId(), 0x516E776B);
  EXPECT_EQ(fx.Version(), 0x20200);
  EXPECT_EQ(fx.AdapterKind(), 1);
  EXPECT_EQ(fx.Latency(), 0);
  EXPECT_FALSE(fx.IsInstrument());
  EXPECT_TRUE(fx.HasMidiIn());
  EXPECT_TRUE(fx.LegalIO(1, 1));
  EXPECT_TRUE(fx.LegalIO(2, 2));
  EXPECT_EQ(fx.NInChannels(), 2);
  ASSERT_EQ(fx.NPresets(), kVelloxFactoryPresets);
  EXPECT_TRUE(fx.PresetInitialised(0));
  EXPECT_STREQ(fx.PresetName(0), "Default");
}

TEST(VelloxParams, EditorIsBuiltBetweenParamsAndPresetCapture) {
  gBuilder = BuilderView();
  {
    TestEffect fx(&BuildFakeEditor);
    EXPECT_EQ(gBuilder.calls, 1);
    EXPECT_TRUE(gBuilder.paramsDefined);
    EXPECT_FALSE(gBuilder.presetCaptured);
    ASSERT_NE(fx.Graphics(), nullptr);
    std::vector<std::string> bound = {"push 0 0.000000 n", "push 1 0.000000 n", "push 2 0.000000 n",
                                      "push 3 0.500000 n", "push 4 0.000000 n", "push 5 0.000000 n",
                                      "push 6 0.571429 n"};
    for (int i = kVelloxPattern; i < kVelloxNumParams; ++i) {
      const double v = i == kVelloxSteps ? 7.0 / 15.0 : i == kVelloxGate ? 45.0 / 95.0 : i > kVelloxGate ? 0.0 : 1.0;
      bound.push_back("push " + std::to_string(i) + (i == kVelloxPattern ? " 0.000000 n" : "") +
                      (i == kVelloxPattern ? "" : " " + std::to_string(v) + " n"));
    }
    bound.push_back("surfaces");
    EXPECT_EQ(gBuilder.log.calls, bound);
  }
  EXPECT_TRUE(gBuilder.log.deleted);
}

TEST(VelloxParams, HandleParamChangeSetsDerivedState) {
  EffectHarness h;
  h.Set(kVelloxFade, 12.5);
  h.Set(kVelloxChop, 0.5);
  h.Set(kVelloxDry, 0.25);
  h.Set(kVelloxOutput, -10.0);
  const ChopperSettings& s = h.fx.Chopper().settings;
  EXPECT_EQ(s.fadeRate, 12.5);
  EXPECT_EQ(s.chopPeriod, 0.5);
  EXPECT_EQ(s.dryLevel, 0.25);
  EXPECT_EQ(s.outputGain, 0.31622776601683794);
  h.Set(kVelloxOutput, 10.0);
  EXPECT_EQ(s.outputGain, 3.1622776601683795);
  h.fx.HandleParamChange(kVelloxBy);
  h.fx.HandleParamChange(99);
  h.fx.HandleParamChange(-1);
  EXPECT_EQ(s.fadeRate, 12.5);
}

// Every factory program is a whole setting: loaded over any other values it
// gives the same values as on a fresh effect. The first is the defaults;
// the names are distinct, as hosts list them.
TEST(VelloxParams, FactoryProgramsAreWholeSettings) {
  for (int p = 0; p < kVelloxFactoryPresets; ++p) {
    TestEffect fresh, changed;
    ASSERT_TRUE(fresh.LoadPreset(p));
    for (int i = 0; i < changed.NParams(); ++i) changed.GetParam(i)->SetFromNormalized(0.37);
    ASSERT_TRUE(changed.LoadPreset(p));
    for (int i = 0; i < fresh.NParams(); ++i) {
      EXPECT_EQ(changed.GetParam(i)->Value(), fresh.GetParam(i)->Value()) << fresh.PresetName(p) << " " << i;
      if (p == 0) {
        EXPECT_EQ(fresh.GetParam(i)->Value(), fresh.GetParam(i)->Default()) << i;
      }
    }
    EXPECT_EQ(fresh.Chopper().settings.pattern, p != 0);
    for (int q = 0; q < p; ++q) EXPECT_STRNE(fresh.PresetName(p), fresh.PresetName(q));
  }
}
