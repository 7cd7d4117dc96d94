// The parameter list, value texts, units and programs the host sees.
#include <vector>
#include <cmath>

#include "ModuleFixture.h"
#include "utf16_text.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using host::Utf16ToUtf8;

struct ExpectedParameter {
  ParamID id;
  const char* title;
  const char* units;
  int32 stepCount;
  double defaultNormalized;
  int32 flags;
};

constexpr ExpectedParameter kTable[] = {
    {0x70727374, "Preset", "", 12, 0.0, 0x8008},
    {0x62706173, "Bypass", "", 1, 0.0, 0x10009},
    {0, "FADE", "Hz", 0, 0.0, 1},
    {1, "CHOP", "s", 0, 0.0, 1},
    {2, "DRY", "", 0, 0.0, 1},
    {3, "OUTPUT", "dB", 0, 0.5, 1},
    {4, "BY", "", 1, 0.0, 1},
    {5, "SYNC", "", 1, 0.0, 1},
    {6, "NOTE", "", 14, 8.0 / 14.0, 1},
    {7, "PATTERN", "", 1, 0.0, 1},
    {8, "STEPS", "", 15, 7.0 / 15.0, 1},
    {9, "STEP 1", "", 0, 1.0, 1},
    {10, "STEP 2", "", 0, 1.0, 1},
    {11, "STEP 3", "", 0, 1.0, 1},
    {12, "STEP 4", "", 0, 1.0, 1},
    {13, "STEP 5", "", 0, 1.0, 1},
    {14, "STEP 6", "", 0, 1.0, 1},
    {15, "STEP 7", "", 0, 1.0, 1},
    {16, "STEP 8", "", 0, 1.0, 1},
    {17, "STEP 9", "", 0, 1.0, 1},
    {18, "STEP 10", "", 0, 1.0, 1},
    {19, "STEP 11", "", 0, 1.0, 1},
    {20, "STEP 12", "", 0, 1.0, 1},
    {21, "STEP 13", "", 0, 1.0, 1},
    {22, "STEP 14", "", 0, 1.0, 1},
    {23, "STEP 15", "", 0, 1.0, 1},
    {24, "STEP 16", "", 0, 1.0, 1},
    {25, "GATE", "%", 0, 45.0 / 95.0, 1},
    {26, "SWING", "%", 0, 0.0, 1},
    {27, "OFFSET", "%", 0, 0.0, 1},
    {28, "RETRIG", "", 1, 0.0, 1},
};
constexpr int32 kCount = static_cast<int32>(sizeof kTable / sizeof kTable[0]);

std::string ValueText(IEditController& controller, ParamID id, ParamValue v) {
  String128 text{};
  if (controller.getParamStringByValue(id, v, text) != kResultOk) return "<refused>";
  return Utf16ToUtf8(text, 128);
}

TEST_F(ModuleTest, HostSeesNineParametersInOrder) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  IEditController& controller = *instance->Controller();
  ASSERT_EQ(controller.getParameterCount(), kCount);
  for (int32 i = 0; i < kCount; ++i) {
    SCOPED_TRACE(kTable[i].title);
    ParameterInfo info{};
    ASSERT_EQ(controller.getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, kTable[i].id);
    EXPECT_EQ(Utf16ToUtf8(info.title, 128), kTable[i].title);
    EXPECT_EQ(Utf16ToUtf8(info.shortTitle, 128), "");
    EXPECT_EQ(Utf16ToUtf8(info.units, 128), kTable[i].units);
    EXPECT_EQ(info.stepCount, kTable[i].stepCount);
    EXPECT_EQ(info.defaultNormalizedValue, kTable[i].defaultNormalized);
    EXPECT_EQ(info.flags, kTable[i].flags);
    EXPECT_EQ(info.unitId, 0);
  }
}

// An exception must never leave a host call: hosts cannot catch it.
TEST_F(ModuleTest, ParameterIndexOutsideTheListIsRefused) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  for (int32 index : {kCount, -1, 1000}) {
    ParameterInfo info{};
    tresult result = kResultOk;
    try {
      result = instance->Controller()->getParameterInfo(index, info);
    } catch (...) {
      ADD_FAILURE() << "getParameterInfo(" << index << ") threw";
      continue;
    }
    EXPECT_NE(result, kResultOk) << index;
  }
}

TEST_F(ModuleTest, ValueTextsFollowTheParameterUnits) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  IEditController& controller = *instance->Controller();
  EXPECT_EQ(ValueText(controller, 3, 0.25), "-5.00");
  EXPECT_EQ(ValueText(controller, 0, 1.0), "50.00");
  EXPECT_EQ(ValueText(controller, 4, 0.4), "Off");
  EXPECT_EQ(ValueText(controller, 4, 0.6), "On");  // the value BY takes from 0.6
  EXPECT_EQ(ValueText(controller, 0x62706173, 1.0), "On");
  EXPECT_EQ(ValueText(controller, 0x62706173, 0.0), "Off");
  EXPECT_EQ(ValueText(controller, 0x70727374, 0.0), "Default");
  EXPECT_EQ(ValueText(controller, 0x70727374, 1.0), "Note stabs");  // the last program

  String128 text{};
  host::Utf8ToUtf16("2.5", text, 128);
  ParamValue v = -1.0;
  ASSERT_EQ(controller.getParamValueByString(3, text, v), kResultOk);
  EXPECT_EQ(v, 0.625);
  host::Utf8ToUtf16("20", text, 128);
  ASSERT_EQ(controller.getParamValueByString(3, text, v), kResultOk);
  EXPECT_EQ(v, 1.0);
  host::Utf8ToUtf16("loud", text, 128);
  EXPECT_EQ(controller.getParamValueByString(3, text, v), kResultFalse);
  EXPECT_EQ(v, 1.0);

  // NOTE's entries, from figures in single precision too, and back.
  for (auto [entry, note] : {std::pair<int, const char*>{3, "1/8T"}, {9, "1/2T"}, {12, "1 bar"}, {14, "4 bars"}}) {
    EXPECT_EQ(ValueText(controller, 6, static_cast<float>(entry / 14.0)), note);
    host::Utf8ToUtf16(note, text, 128);
    ASSERT_EQ(controller.getParamValueByString(6, text, v), kResultOk);
    EXPECT_EQ(v, entry / 14.0) << note;
  }
  EXPECT_EQ(controller.plainParamToNormalized(0, 27.5), 0.5);
  EXPECT_EQ(controller.plainParamToNormalized(0x62706173, 1.0), 1.0);
  EXPECT_EQ(controller.normalizedParamToPlain(3, 0.0), -10.0);
  EXPECT_EQ(controller.normalizedParamToPlain(3, 1.0), 10.0);
}

// Host text that is not valid UTF-16 (lone or reversed surrogates, no
// terminator in the field) is refused on every parameter; nothing throws.
TEST_F(ModuleTest, MalformedTextIsRefusedOnEveryParameter) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  IEditController& controller = *instance->Controller();
  const ParamID ids[] = {0x70727374, 0x62706173, 0, 1, 2, 3, 4};
  std::vector<std::vector<TChar>> bad = {
      {0xDFE0, 0}, {0xD800, 0}, {'1', 0xDC00, 0}, {0xDC00, 0xD800, 0}, {'2', 0xD83D, 'x', 0}};
  bad.emplace_back(128, static_cast<TChar>('5'));  // no terminator within the field
  for (ParamID id : ids) {
    for (auto& text : bad) {
      text.resize(200, 0);
      ParamValue v = 0.25;
      EXPECT_EQ(controller.getParamValueByString(id, text.data(), v), kResultFalse) << id;
      EXPECT_EQ(v, 0.25);
    }
    TChar empty[1] = {0};
    ParamValue v = 0.25;
    const tresult result = controller.getParamValueByString(id, empty, v);
    EXPECT_TRUE(result == kResultOk || result == kResultFalse) << id;
    EXPECT_TRUE(v >= 0.0 && v <= 1.0) << id;
  }
  // Well-formed text beyond the basic plane is fine.
  TChar pair[] = {'3', 0xD83D, 0xDE00, 0};
  ParamValue v = -1.0;
  EXPECT_EQ(controller.getParamValueByString(3, pair, v), kResultOk);
  EXPECT_EQ(v, 0.65);
  TChar on[] = {'o', 'N', 0};
  EXPECT_EQ(controller.getParamValueByString(0x62706173, on, v), kResultOk);
  EXPECT_EQ(v, 1.0);
}

TEST_F(ModuleTest, ControllerValuesQuantiseSteppedParameters) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  IEditController& controller = *instance->Controller();
  ASSERT_EQ(controller.setParamNormalized(4, 0.4), kResultOk);
  EXPECT_EQ(controller.getParamNormalized(4), 0.0);
  ASSERT_EQ(controller.setParamNormalized(4, 0.5), kResultOk);
  EXPECT_EQ(controller.getParamNormalized(4), 1.0);
  // The host's bypass is shown as the host set it.
  EXPECT_EQ(controller.setParamNormalized(0x62706173, 1.0), kResultOk);
  EXPECT_EQ(controller.getParamNormalized(0x62706173), 1.0);
  EXPECT_EQ(controller.getParamNormalized(0x70727374), 0.0);
  EXPECT_EQ(controller.getParamNormalized(0x12345678), 0.0);
}

TEST_F(ModuleTest, OneRootUnitAndTheFactoryPrograms) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance && instance->Units());
  IUnitInfo& units = *instance->Units();
  ASSERT_EQ(units.getUnitCount(), 1);
  UnitInfo root{};
  ASSERT_EQ(units.getUnitInfo(0, root), kResultOk);
  EXPECT_EQ(root.id, kRootUnitId);
  EXPECT_EQ(root.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Utf16ToUtf8(root.name, 128), "Root Unit");
  EXPECT_EQ(root.programListId, kNoProgramListId);
  UnitInfo other{};
  EXPECT_EQ(units.getUnitInfo(1, other), kResultFalse);

  EXPECT_EQ(units.getProgramListCount(), 0);
  ProgramListInfo list{};
  ASSERT_EQ(units.getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, 0x70727374);
  EXPECT_EQ(Utf16ToUtf8(list.name, 128), "Factory Presets");
  EXPECT_EQ(list.programCount, 13);
  String128 name{};
  ASSERT_EQ(units.getProgramName(0x70727374, 0, name), kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name, 128), "Default");
  ASSERT_EQ(units.getProgramName(0x70727374, 5, name), kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name, 128), "Half-time pump");
  name[0] = 'x';
  ASSERT_EQ(units.getProgramName(0x70727374, 13, name), kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name, 128), "");
}

}  // namespace
}  // namespace vellox::test
