#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "EffectRig.h"
#include "HostIdentify.h"
#include "LeadingNumber.h"
#include "public.sdk/source/common/pluginview.h"
#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string Narrow(const TChar* text) {
  std::string s;
  for (; *text; ++text) s.push_back(static_cast<char>(*text));
  return s;
}

std::u16string Wide(const char* text) {
  std::u16string s;
  for (; *text; ++text) s.push_back(static_cast<char16_t>(*text));
  return s;
}

std::string ValueText(IEditController* c, ParamID id, double v) {
  String128 text = {};
  if (c->getParamStringByValue(id, v, text) != kResultOk) return "<refused>";
  return Narrow(text);
}

// The normalised value the controller reads from text, or -1 when it refuses it.
double ValueOfText(IEditController* c, ParamID id, const std::u16string& wide) {
  String128 buffer = {};
  wide.copy(reinterpret_cast<char16_t*>(buffer), 127);
  ParamValue v = -1.0;
  return c->getParamValueByString(id, buffer, v) == kResultOk ? v : -1.0;
}

double ValueOf(IEditController* c, ParamID id, const char* text) {
  const double v = ValueOfText(c, id, Wide(text));
  EXPECT_NE(v, -1.0) << text;
  return v;
}

}  // namespace

TEST(Controller, PresentsSevenParametersInOrder) {
  EffectRig rig;
  struct Row {
    ParamID id;
    const char* title;
    const char* units;
    int32 steps;
    double def;
    int32 flags;
  };
  std::vector<Row> rows = {{kPresetParamId, "Preset", "", kVelloxFactoryPresets - 1, 0.0, 0x8008},
                           {kBypassParamId, "Bypass", "", 1, 0.0, 0x10009},
                           {0, "FADE", "Hz", 0, 0.0, 1},
                           {1, "CHOP", "s", 0, 0.0, 1},
                           {2, "DRY", "", 0, 0.0, 1},
                           {3, "OUTPUT", "dB", 0, 0.5, 1},
                           {4, "BY", "", 1, 0.0, 1},
                           {5, "SYNC", "", 1, 0.0, 1},
                           {6, "NOTE", "", 14, 8.0 / 14.0, 1},
                           {7, "PATTERN", "", 1, 0.0, 1},
                           {8, "STEPS", "", 15, 7.0 / 15.0, 1}};
  static const std::string stepTitles[16] = {"STEP 1",  "STEP 2",  "STEP 3",  "STEP 4",  "STEP 5",  "STEP 6",
                                             "STEP 7",  "STEP 8",  "STEP 9",  "STEP 10", "STEP 11", "STEP 12",
                                             "STEP 13", "STEP 14", "STEP 15", "STEP 16"};
  for (int k = 0; k < 16; ++k) rows.push_back({static_cast<ParamID>(9 + k), stepTitles[k].c_str(), "", 0, 1.0, 1});
  rows.insert(rows.end(), {{25, "GATE", "%", 0, 45.0 / 95.0, 1},
                           {26, "SWING", "%", 0, 0.0, 1},
                           {27, "OFFSET", "%", 0, 0.0, 1},
                           {28, "RETRIG", "", 1, 0.0, 1}});
  ASSERT_EQ(rig.controller->getParameterCount(), 2 + kVelloxNumParams);
  for (int32 i = 0; i < 2 + kVelloxNumParams; ++i) {
    ParameterInfo info = {};
    ASSERT_EQ(rig.controller->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, rows[i].id) << i;
    EXPECT_EQ(Narrow(info.title), rows[i].title) << i;
    EXPECT_EQ(Narrow(info.units), rows[i].units) << i;
    EXPECT_EQ(Narrow(info.shortTitle), "") << i;
    EXPECT_EQ(info.stepCount, rows[i].steps) << i;
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, rows[i].def) << i;
    EXPECT_EQ(info.flags, rows[i].flags) << i;
    EXPECT_EQ(info.unitId, 0) << i;
  }
  Parameter* fade = rig.effect->getParameterObject(0);
  ASSERT_NE(fade, nullptr);
  EXPECT_STREQ(fade->isA(), "IEffectParameter");
  EXPECT_TRUE(fade->isTypeOf("Parameter"));
  EXPECT_EQ(fade->getPrecision(), 2);

  ParameterInfo outside = {};
  EXPECT_EQ(rig.controller->getParameterInfo(2 + kVelloxNumParams, outside), kResultFalse);
  EXPECT_EQ(rig.controller->getParameterInfo(-1, outside), kResultFalse);
}

TEST(Controller, ConvertsValuesToTextAndBack) {
  EffectRig rig;
  IEditController* c = rig.controller;
  EXPECT_EQ(ValueText(c, 3, 0.25), "-5.00");
  EXPECT_EQ(ValueText(c, 0, 1.0), "50.00");
  EXPECT_EQ(ValueText(c, 4, 0.4), "Off");
  EXPECT_EQ(ValueText(c, 4, 0.6), "On");  // the value BY takes from 0.6
  EXPECT_EQ(ValueText(c, 4, 1.0), "On");
  EXPECT_EQ(ValueText(c, 3, 0.4999999), "0.00");
  EXPECT_EQ(ValueText(c, 1, 0.0), "0.22");
  EXPECT_EQ(ValueText(c, kBypassParamId, 1.0), "On");
  EXPECT_EQ(ValueText(c, kBypassParamId, 0.5), "Off");
  EXPECT_EQ(ValueText(c, kPresetParamId, 0.0), "Default");
  EXPECT_EQ(ValueText(c, kPresetParamId, 1.0), "Note stabs");
  EXPECT_EQ(ValueText(c, kPresetParamId, 1.5), "<refused>");
  EXPECT_EQ(ValueText(c, kVelloxNumParams, 0.0), "<refused>");

  EXPECT_DOUBLE_EQ(ValueOf(c, 3, "2.5"), 0.625);
  EXPECT_DOUBLE_EQ(ValueOf(c, 3, "20"), 1.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, 3, "  -1e1dB"), 0.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, 3, "+.5e"), 0.525);
  EXPECT_DOUBLE_EQ(ValueOf(c, 3, "1e999"), 1.0);
  EXPECT_DOUBLE_EQ(ValueOfText(c, 3, u"\u22122.5"), 0.375);  // MINUS SIGN
  EXPECT_DOUBLE_EQ(ValueOf(c, 4, "on"), 1.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, 4, "0"), 0.0);
  // Text holding no number, or a character that only looks like one, is refused.
  const std::u16string refused[] = {u"loud", u"", u"nan", u"\u01310", u"-"};
  for (const std::u16string& text : refused) EXPECT_EQ(ValueOfText(c, 3, text), -1.0);
  EXPECT_EQ(ValueOfText(c, kPresetParamId, u"13"), -1.0);  // index 13 is past the list
  EXPECT_DOUBLE_EQ(ValueOf(c, kPresetParamId, "Ping-pong"), 6.0 / 12.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, kBypassParamId, "on"), 1.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, kBypassParamId, " Off "), 0.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, kBypassParamId, "1"), 1.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, kPresetParamId, "Default"), 0.0);
  EXPECT_DOUBLE_EQ(ValueOf(c, kPresetParamId, "0"), 0.0);
  ParamValue v = 0.0;
  EXPECT_EQ(c->getParamValueByString(99, nullptr, v), kResultFalse);
  EXPECT_EQ(c->getParamValueByString(kBypassParamId, nullptr, v), kResultFalse);
  EXPECT_EQ(c->getParamValueByString(kPresetParamId, nullptr, v), kResultFalse);

  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(0, 27.5), 0.5);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(0, 500.0), 1.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kBypassParamId, 1.0), 1.0);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(3, 0.75), 5.0);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(4, 0.6), 0.6);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(77, 0.3), 0.3);
}

TEST(Controller, NormalizedValuesGoStraightToTheSlots) {
  EffectRig rig;
  IEditController* c = rig.controller;
  EXPECT_EQ(c->setParamNormalized(4, 0.4), kResultOk);
  EXPECT_EQ(rig.effect->GetParam(4)->Value(), 0.0);
  EXPECT_EQ(c->setParamNormalized(4, 0.5), kResultOk);
  EXPECT_EQ(rig.effect->GetParam(4)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(4), 1.0);
  EXPECT_EQ(c->setParamNormalized(0, 1.0), kResultOk);
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 50.0);

  // The controller shows the host's bypass as set; the audio follows only
  // the processed queue.
  EXPECT_EQ(c->setParamNormalized(kBypassParamId, 1.0), kResultOk);
  EXPECT_FALSE(rig.effect->IsBypassed());
  EXPECT_EQ(c->getParamNormalized(kBypassParamId), 1.0);
  EXPECT_EQ(c->setParamNormalized(kBypassParamId, 0.2), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassParamId), 0.0);
  EXPECT_EQ(c->getParamNormalized(kPresetParamId), 0.0);
  EXPECT_EQ(c->getParamNormalized(12345), 0.0);

  FUnknownPtr<IEditController2> c2(c);
  EXPECT_EQ(c2->setKnobMode(kLinearMode), kResultOk);
  EXPECT_EQ(EditController::getHostKnobMode(), kCircularMode);
  EXPECT_EQ(c2->openHelp(false), kResultFalse);
  EXPECT_EQ(c2->openAboutBox(false), kResultFalse);
  EXPECT_EQ(c->setComponentState(nullptr), kInvalidArgument);
}

TEST(Controller, UnitsAndTheFactoryPresetList) {
  EffectRig rig;
  IUnitInfo* u = rig.units;
  EXPECT_EQ(u->getUnitCount(), 1);
  UnitInfo unit = {};
  ASSERT_EQ(u->getUnitInfo(0, unit), kResultOk);
  EXPECT_EQ(unit.id, kRootUnitId);
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Narrow(unit.name), "Root Unit");
  EXPECT_EQ(unit.programListId, kNoProgramListId);
  EXPECT_EQ(u->getUnitInfo(1, unit), kResultFalse);
  EXPECT_EQ(u->getUnitInfo(-1, unit), kResultFalse);

  EXPECT_EQ(u->getProgramListCount(), 0);
  ProgramListInfo list = {};
  ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresetParamId));
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, kVelloxFactoryPresets);
  EXPECT_EQ(u->getProgramListInfo(1, list), kResultFalse);

  String128 name = {'x', 0};
  EXPECT_EQ(u->getProgramName(kPresetParamId, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Default");
  EXPECT_EQ(u->getProgramName(kPresetParamId, 6, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Ping-pong");
  EXPECT_EQ(u->getProgramName(kPresetParamId, kVelloxFactoryPresets, name), kResultOk);
  EXPECT_EQ(Narrow(name), "");
  EXPECT_EQ(u->getProgramName(7, 0, name), kResultFalse);
  EXPECT_EQ(u->getSelectedUnit(), 0);
  EXPECT_EQ(u->selectUnit(0), kNotImplemented);
  EXPECT_EQ(u->hasProgramPitchNames(kPresetParamId, 0), kNotImplemented);
}

TEST(Controller, IdentifiesTheHostOnEveryInitialize) {
  EffectRig rig;
  EXPECT_EQ(rig.effect->HostIdentity(), kHostIdUnknown);
  FakeHostApplication cubase(u"Cubase 10.5");
  rig.controller->setParamNormalized(0, 1.0);
  EXPECT_EQ(rig.component->initialize(&cubase), kResultFalse);
  EXPECT_EQ(rig.effect->HostIdentity(), kHostIdCubase);
  EXPECT_EQ(rig.effect->HostVersion(), 0);
  // A context that is no host application leaves the identification alone.
  FakeStream notAHost;
  EXPECT_EQ(rig.component->initialize(&notAHost), kResultFalse);
  EXPECT_EQ(rig.effect->HostIdentity(), kHostIdCubase);
  // A repeat still reloads preset 0 and registers nothing twice.
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 5.0);
  EXPECT_EQ(rig.controller->getParameterCount(), 2 + kVelloxNumParams);

  Vellox* bare = new Vellox();
  EXPECT_EQ(static_cast<IComponent*>(bare)->initialize(nullptr), kResultOk);
  EXPECT_EQ(bare->HostIdentity(), kHostIdUnidentified);
  EXPECT_EQ(static_cast<IComponent*>(bare)->initialize(nullptr), kResultFalse);
  EXPECT_EQ(static_cast<IEditController*>(bare)->getParameterCount(), 2 + kVelloxNumParams);
  EXPECT_EQ(static_cast<IComponent*>(bare)->getBusCount(kAudio, kInput), 1);
  static_cast<IComponent*>(bare)->terminate();
  EXPECT_EQ(static_cast<IComponent*>(bare)->getBusCount(kAudio, kOutput), 0);
  EXPECT_EQ(static_cast<IEditController*>(bare)->getParameterCount(), 0);
  static_cast<IComponent*>(bare)->release();
}

TEST(Controller, ForwardsEditorEditsAndLatencyChangesToTheHandler) {
  EffectRig rig;
  rig.effect->BeginHostEdit(3);  // no handler yet: nothing to reach
  FakeComponentHandler handler;
  rig.controller->setComponentHandler(&handler);
  rig.effect->BeginHostEdit(3);
  rig.effect->SetParamFromEditor(3, 0.25);
  rig.effect->EndHostEdit(3);
  rig.effect->ChangeLatency(0);
  const std::vector<std::string> expected = {"begin 3", "perform 3 0.25", "end 3", "restart 8"};
  EXPECT_EQ(handler.calls, expected);
  EXPECT_DOUBLE_EQ(rig.effect->GetParam(3)->Value(), -5.0);
  rig.controller->setComponentHandler(nullptr);
  EXPECT_EQ(handler.refs, 1);
}

TEST(Controller, OpensTheHostContextMenuOnlyWithHandlerAndView) {
  EffectRig plain;
  FakeComponentHandler menus(true);
  plain.controller->setComponentHandler(&menus);
  plain.effect->OpenHostContextMenu(2, 10, 20);
  EXPECT_TRUE(menus.calls.empty());  // no editor view
  plain.controller->setComponentHandler(nullptr);

  EffectRig rig;
  EXPECT_EQ(rig.controller->createView("Editor"), nullptr);
  EXPECT_EQ(rig.controller->createView("editor "), nullptr);
  EXPECT_EQ(rig.controller->createView(nullptr), nullptr);
  IPlugView* view = rig.controller->createView("editor");
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(rig.effect->mEditorViews.size(), 1u);

  rig.effect->OpenHostContextMenu(2, 10, 20);  // no handler
  FakeComponentHandler noMenus(false);
  rig.controller->setComponentHandler(&noMenus);
  rig.effect->OpenHostContextMenu(2, 10, 20);
  EXPECT_TRUE(noMenus.calls.empty());

  FakeComponentHandler handler(true);
  rig.controller->setComponentHandler(&handler);
  rig.effect->OpenHostContextMenu(2, 10, 20);
  ASSERT_EQ(handler.calls, std::vector<std::string>{"menu 2"});
  EXPECT_EQ(handler.menuView, view);
  EXPECT_EQ(handler.menu.popups, (std::vector<std::pair<int, int>>{{10, 20}}));
  EXPECT_EQ(handler.menu.refs, 1);
  EXPECT_EQ(handler.refs, 2);  // the controller's own reference only

  handler.returnMenu = false;
  rig.effect->OpenHostContextMenu(1, 0, 0);
  EXPECT_EQ(handler.menu.popups.size(), 1u);
  rig.controller->setComponentHandler(nullptr);
  view->release();
  EXPECT_TRUE(rig.effect->mEditorViews.empty());
}

namespace {

// The adapter over parameters with groups, display texts, a shape and an
// integer range wider than a switch.
class GroupedProbe : public IEffectVST3 {
public:
  GroupedProbe() : IEffectVST3(5, "2-2", 1, "Probe", "", "Maker", 1, 2, 0x10000, 1, 0, false, false) {
    GetParam(0)->Define("LEVEL", 25.0, 0.0, 100.0, 0.01, "dB", "Mix", 2.0);
    GetParam(1)->Define("TONE", 0.5, 0.0, 1.0, 0.01, "Hz", "");
    IParamSlot* mode = GetParam(2);
    mode->SetType(kParamInteger);
    mode->Define("MODE", 1.0, 0.0, 3.0, 1.0, "step", "Tone");
    mode->AddDisplayText(1, "soft");
    mode->AddDisplayText(2, "hard");
    IParamSlot* count = GetParam(3);
    count->SetType(kParamInteger);
    count->Define("COUNT", 0.0, 0.0, 3.0, 1.0, "x", "Mix");
    count->AddDisplayText(2, "two");
    count->SetCanAutomate(false);
    GetParam(4)->Define("WIDTH", 1.0, 0.0, 1.0, 0.01, "", "Tone");
    CaptureFreePreset("-");
  }
};

}  // namespace

TEST(Controller, GroupsBecomeUnitsAndDisplayTextsDropTheUnits) {
  auto* probe = new GroupedProbe();
  IEditController* c = probe;
  IUnitInfo* u = probe;
  ASSERT_EQ(static_cast<IComponent*>(probe)->initialize(nullptr), kResultOk);

  struct Row {
    ParamID id;
    const char* units;
    int32 steps;
    double def;
    int32 flags;
    UnitID unit;
  };
  // LEVEL: (25 / 100) ^ (1 / 2); MODE shows "soft" at its default, so no unit;
  // COUNT has a text only for 2, not for its current 0.
  const Row rows[] = {{0, "dB", 0, 0.5, 1, 1},
                      {1, "Hz", 0, 0.5, 1, 0},
                      {2, "", 3, 1.0 / 3.0, 1, 2},
                      {3, "x", 3, 0.0, 0, 1},
                      {4, "", 0, 1.0, 1, 2}};
  ASSERT_EQ(c->getParameterCount(), 7);
  for (int32 i = 0; i < 5; ++i) {
    ParameterInfo info = {};
    ASSERT_EQ(c->getParameterInfo(i + 2, info), kResultOk);
    EXPECT_EQ(info.id, rows[i].id) << i;
    EXPECT_EQ(Narrow(info.units), rows[i].units) << i;
    EXPECT_EQ(info.stepCount, rows[i].steps) << i;
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, rows[i].def) << i;
    EXPECT_EQ(info.flags, rows[i].flags) << i;
    EXPECT_EQ(info.unitId, rows[i].unit) << i;
  }

  ASSERT_EQ(u->getUnitCount(), 3);
  const char* names[] = {"Root Unit", "Mix", "Tone"};
  for (int32 i = 0; i < 3; ++i) {
    UnitInfo unit = {};
    ASSERT_EQ(u->getUnitInfo(i, unit), kResultOk) << i;
    EXPECT_EQ(unit.id, i);
    EXPECT_EQ(unit.parentUnitId, i == 0 ? kNoParentUnitId : kRootUnitId);
    EXPECT_EQ(Narrow(unit.name), names[i]);
    EXPECT_EQ(unit.programListId, kNoProgramListId);
  }
  UnitInfo none = {};
  EXPECT_EQ(u->getUnitInfo(3, none), kResultFalse);

  // Value texts use the display texts of the value the slot takes, and text
  // to value takes them back.
  EXPECT_EQ(ValueText(c, 2, 1.0 / 3.0), "soft");
  EXPECT_EQ(ValueText(c, 2, 0.8), "hard");  // 2.4 rounds to 2
  EXPECT_EQ(ValueText(c, 2, 0.9), "3");     // 2.7 rounds to 3
  EXPECT_EQ(ValueText(c, 2, 1.0), "3");
  EXPECT_EQ(ValueText(c, 0, 0.5), "25.00");
  EXPECT_DOUBLE_EQ(ValueOf(c, 0, "25"), 0.5);
  EXPECT_DOUBLE_EQ(ValueOf(c, 2, "soft"), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(0, 25.0), 0.5);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(0, 0.5), 25.0);

  // Re-registering after terminate finds the groups already listed.
  static_cast<IComponent*>(probe)->terminate();
  ASSERT_EQ(static_cast<IComponent*>(probe)->initialize(nullptr), kResultOk);
  EXPECT_EQ(u->getUnitCount(), 3);
  ParameterInfo width = {};
  ASSERT_EQ(c->getParameterInfo(6, width), kResultOk);
  EXPECT_EQ(width.unitId, 2);
  static_cast<IComponent*>(probe)->terminate();
  c->release();
}

// Overflow or underflow follows the value's real magnitude, which long digit
// runs move as much as the exponent does.
TEST(Controller, LeadingNumberOutOfRangeFollowsTheMagnitude) {
  const std::string tinyDigits = "0." + std::string(330, '0') + "1";
  const std::string hugeDigits = "1" + std::string(400, '7');
  EXPECT_EQ(ReadLeadingNumber((tinyDigits + "e5").c_str()), 0.0);
  EXPECT_EQ(ReadLeadingNumber(("-" + tinyDigits + "e5x").c_str()), 0.0);
  EXPECT_EQ(ReadLeadingNumber((hugeDigits + "e-1").c_str()), HUGE_VAL);
  EXPECT_EQ(ReadLeadingNumber(("-" + hugeDigits + ".5e-1").c_str()), -HUGE_VAL);
  EXPECT_EQ(ReadLeadingNumber("1e99999999999999999999"), HUGE_VAL);
  EXPECT_EQ(ReadLeadingNumber("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(ReadLeadingNumber("0.000e99999"), 0.0);

  // Digit runs and exponents that cancel out land in range, as the C library reads them.
  for (int shift : {-400, -320, -300, 0, 300, 320, 400}) {
    const std::string zeros(shift < 0 ? -shift : shift, '0');
    for (const char* mantissa : {"1", "2.5", "9.87654321"}) {
      const std::string text = shift < 0 ? "0." + zeros + mantissa + "e" + std::to_string(-shift + 3)
                                         : mantissa + zeros + "e-" + std::to_string(shift + 3);
      EXPECT_EQ(ReadLeadingNumber(text.c_str()), std::strtod(text.c_str(), nullptr)) << text;
    }
  }
  // Out of range the C library agrees on the direction.
  for (int e : {-360, -330, 310, 330}) {
    const std::string text = (e < 0 ? tinyDigits : hugeDigits) + "e" + std::to_string(e);
    const double expected = std::strtod(text.c_str(), nullptr);
    EXPECT_EQ(ReadLeadingNumber(text.c_str()), std::fpclassify(expected) == FP_SUBNORMAL ? 0.0 : expected) << e;
  }

  // Through the host path the value is limited to the parameter's range.
  EffectRig rig;
  const std::string hugeText = std::string(120, '9') + "e200";
  EXPECT_DOUBLE_EQ(ValueOf(rig.controller, 3, hugeText.c_str()), 1.0);
  EXPECT_DOUBLE_EQ(ValueOf(rig.controller, 3, ("-" + hugeText).c_str()), 0.0);
}

// Hosts that keep their own copy of the values learn of every change the
// plug-in makes itself: a restored state or a program chosen through the
// controller restarts the values, and a program loaded from the queue
// reports every value in the output queues.
TEST(Controller, HostsHearOfRestoredAndReloadedValues) {
  EffectRig rig;
  FakeComponentHandler handler;
  rig.controller->setComponentHandler(&handler);
  rig.effect->SetParamFromEditor(0, 1.0);
  handler.calls.clear();

  EXPECT_EQ(rig.controller->setParamNormalized(kPresetParamId, 0.0), kResultOk);
  EXPECT_EQ(rig.effect->GetParam(0)->Value(), 5.0);
  EXPECT_EQ(handler.calls, std::vector<std::string>{"restart 4"});
  EXPECT_EQ(rig.controller->setParamNormalized(kPresetParamId, 1.5), kResultFalse);  // past the list

  FakeStream saved;
  ASSERT_EQ(rig.controller->getState(&saved), kResultOk);
  handler.calls.clear();
  FakeStream in(saved.bytes);
  ASSERT_EQ(rig.component->setState(&in), kResultOk);
  EXPECT_EQ(handler.calls, std::vector<std::string>{"restart 4"});

  rig.Setup(kSample64, 64);
  rig.effect->SetParamFromEditor(3, 0.9);
  for (double program : {0.0, -0.5, 1.5}) {
    FakeParamChanges changes, outputs;
    changes.Add(kPresetParamId, {{0, program}});
    HostBus<double> inBus(2, 64, 0.5), outBus(2, 64);
    ProcessData data = MakeProcessData(kSample64, 64, &inBus.buffers, 1, &outBus.buffers, 1);
    data.inputParameterChanges = &changes;
    data.outputParameterChanges = &outputs;
    ASSERT_EQ(rig.Process(data), kResultOk);
    // Only a program in the list loads; others leave every knob alone.
    EXPECT_EQ(outputs.getParameterCount(), program == 0.0 ? kVelloxNumParams : 0) << program;
    EXPECT_EQ(rig.controller->getParamNormalized(3), program == 0.0 ? 0.5 : 0.9) << program;
    for (int32 i = 0; i < outputs.getParameterCount(); ++i) {
      int32 offset = -1;
      ParamValue value = -1.0;
      ASSERT_EQ(outputs.getParameterData(i)->getPoint(0, offset, value), kResultOk);
      EXPECT_EQ(value, rig.controller->getParamNormalized(outputs.getParameterData(i)->getParameterId()));
    }
    rig.effect->SetParamFromEditor(3, 0.9);
  }
  rig.controller->setComponentHandler(nullptr);
}
