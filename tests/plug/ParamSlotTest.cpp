#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "IParamSlot.h"

namespace {
std::string Display(const IParamSlot& slot, double value) {
  char text[kParamDisplayMax];
  slot.DisplayString(value, text, sizeof text);
  return text;
}

IParamSlot IntegerSlot(double min, double max) {
  IParamSlot slot;
  slot.SetType(kParamInteger);
  slot.Define("BY", min, min, max, 1.0);
  return slot;
}
}  // namespace

TEST(ParamSlot, DefineSetsRangeAndPrecisionFromStep) {
  IParamSlot fade;
  fade.Define("FADE", 5.0, 5.0, 50.0, 0.01, "ms");
  EXPECT_EQ(fade.Type(), kParamContinuous);
  EXPECT_EQ(fade.Max(), 50.0);
  EXPECT_EQ(fade.Precision(), 2);
  EXPECT_EQ(fade.Value(), 5.0);
  EXPECT_STREQ(fade.Name(), "FADE");
  EXPECT_STREQ(fade.Label(), "ms");

  IParamSlot empty;
  empty.Define("E", 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(empty.Max(), 1.0);
  EXPECT_EQ(empty.Precision(), 0);

  IParamSlot fine;
  fine.Define("F", 0.0, 0.0, 1.0, 1e-9);
  EXPECT_EQ(fine.Precision(), 6);
}

TEST(ParamSlot, DefineKeepsEarlierTypeAndShapeWhenZero) {
  IParamSlot slot;
  slot.SetType(kParamInteger);
  slot.Define("A", 0.0, 0.0, 4.0, 1.0, "", "", 2.0);
  EXPECT_EQ(slot.Type(), kParamInteger);
  EXPECT_EQ(slot.Shape(), 2.0);
  slot.Define("A", 0.0, 0.0, 4.0, 1.0, "", "", 0.0);
  EXPECT_EQ(slot.Shape(), 2.0);
}

TEST(ParamSlot, IntegerQuantisesFromZero) {
  IParamSlot by = IntegerSlot(0.0, 1.0);
  by.SetFromNormalized(0.49);
  EXPECT_EQ(by.Value(), 0.0);
  by.SetFromNormalized(0.5);
  EXPECT_EQ(by.Value(), 1.0);

  // Rounding counts from zero, not from min: 0.4 of 0.5..3.5 is 1.7 -> 2.
  IParamSlot offset;
  offset.SetType(kParamInteger);
  offset.Define("O", 0.5, 0.5, 3.5, 1.0);
  offset.SetFromNormalized(0.4);
  EXPECT_EQ(offset.Value(), 2.0);
}

TEST(ParamSlot, ContinuousEndsAreExact) {
  IParamSlot out;
  out.Define("OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB");
  out.SetFromNormalized(1.0);
  EXPECT_EQ(out.Value(), 10.0);
  out.SetFromNormalized(0.0);
  EXPECT_EQ(out.Value(), -10.0);
  out.SetFromNormalized(0.25);
  EXPECT_EQ(out.Value(), -5.0);
}

TEST(ParamSlot, SetFromNormalizedClampsAndIgnoresNaN) {
  IParamSlot out;
  out.Define("OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB");
  out.SetFromNormalized(-0.5);
  EXPECT_EQ(out.Value(), -10.0);
  out.SetFromNormalized(3.0);
  EXPECT_EQ(out.Value(), 10.0);
  out.SetFromNormalized(0.5);
  out.SetFromNormalized(std::nan(""));
  EXPECT_EQ(out.Value(), 0.0);
  out.SetFromNormalized(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(out.Value(), -10.0);
}

TEST(ParamSlot, NormalizedValueClampsOutsideRange) {
  IParamSlot fade;
  fade.Define("FADE", 5.0, 5.0, 50.0, 0.01);
  fade.SetValue(1.0);
  EXPECT_EQ(fade.NormalizedValue(), 0.0);
  fade.SetValue(80.0);
  EXPECT_EQ(fade.NormalizedValue(), 1.0);
  fade.SetValue(27.5);
  EXPECT_EQ(fade.NormalizedValue(), 0.5);
}

TEST(ParamSlot, ShapeBendsBothMappings) {
  IParamSlot slot;
  slot.Define("S", 0.0, 0.0, 100.0, 0.01, "", "", 2.0);
  slot.SetFromNormalized(0.5);
  EXPECT_DOUBLE_EQ(slot.Value(), 25.0);
  EXPECT_DOUBLE_EQ(slot.NormalizedValue(), 0.5);
}

TEST(ParamSlot, DisplayStringFormatsByPrecision) {
  IParamSlot fade;
  fade.Define("FADE", 5.0, 5.0, 50.0, 0.01);
  EXPECT_EQ(Display(fade, 5.0), "5.00");
  IParamSlot out;
  out.Define("OUTPUT", 0.0, -10.0, 10.0, 0.01);
  EXPECT_EQ(Display(out, -3.5), "-3.50");
  IParamSlot by = IntegerSlot(0.0, 1.0);
  EXPECT_EQ(Display(by, 1.0), "1");
  EXPECT_EQ(Display(by, 0.99), "0");
  EXPECT_EQ(Display(by, -0.99), "0");
}

TEST(ParamSlot, DisplayStringUsesTextsAndNegation) {
  IParamSlot mode = IntegerSlot(0.0, 3.0);
  mode.AddDisplayText(1, "one");
  mode.AddDisplayText(2, "");
  mode.AddDisplayText(2, "shadowed");
  EXPECT_EQ(Display(mode, 1.7), "one");
  EXPECT_EQ(Display(mode, 2.0), "2");  // the first entry for 2 is empty
  EXPECT_EQ(Display(mode, 3.0), "3");
  mode.SetNegateDisplay(true);
  EXPECT_EQ(Display(mode, 3.0), "-3");
  EXPECT_EQ(Display(mode, 1.0), "one");
}

TEST(ParamSlot, DisplayStringStaysInsideSmallBuffers) {
  IParamSlot slot;
  slot.Define("S", 0.0, 0.0, 1.0, 0.000001);
  char text[8];
  std::memset(text, 'x', sizeof text);
  slot.DisplayString(-1e300, text, 4);
  EXPECT_EQ(text[3], '\0');
  EXPECT_EQ(text[4], 'x');
  IParamSlot by = IntegerSlot(0.0, 1.0);
  EXPECT_EQ(Display(by, 1e300), "2147483647");
}
