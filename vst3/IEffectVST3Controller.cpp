#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "HostParamIds.h"
#include "IEffectParameter.h"
#include "IEffectVST3.h"
#include "IEffectVST3View.h"
#include "LeadingNumber.h"
#include "WideText.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "public.sdk/source/common/pluginview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

bool IsCoreId(const IEffectBase& plug, ParamID id) { return id < static_cast<ParamID>(plug.NParams()); }

const char* const kBypassTexts[2] = {"Off", "On"};

}  // namespace

// Program i sits at i / (count - 1), the position the step count of
// count - 1 gives it; with one program only values below 1.0 select it.
// Answers -1 for a value that selects no program.
int IEffectVST3::PresetForValue(double value) const {
  const int count = NPresets();
  if (!(value >= 0.0 && value <= 1.0) || count <= 0) return -1;
  if (count == 1) return value < 1.0 ? 0 : -1;
  return static_cast<int>(std::floor(value * (count - 1) + 0.5));
}

double IEffectVST3::ValueForPreset(int index) const {
  return NPresets() > 1 ? static_cast<double>(index) / (NPresets() - 1) : 0.0;
}

// The bypass is on above half way, in the audio as in its text; a figure
// that is not finite changes nothing, so it shows the current state.
bool IEffectVST3::SwitchText(ParamID id, ParamValue value, String128 out) const {
  if (id == kBypassParamId) {
    if (!std::isfinite(value)) value = mShownBypass.load(std::memory_order_relaxed);
    WidenText(kBypassTexts[value > 0.5 ? 1 : 0], out);
    return true;
  }
  if (std::isnan(value)) return false;
  const int preset = PresetForValue(value);
  if (id != kPresetParamId || preset < 0) return false;
  WidenText(PresetName(preset), out);
  return true;
}

// The bypass takes its two names or its index; the preset its name or its
// position in the list. Other numbers and text around an index are refused.
bool IEffectVST3::SwitchValue(ParamID id, const TChar* text, ParamValue& value) const {
  const std::string s = TrimmedHostText(text);
  int index = 0;
  if (id == kBypassParamId) {
    for (int i = 0; i < 2; ++i)
      if (EqualIgnoringCase(s.c_str(), kBypassTexts[i])) {
        value = i;
        return true;
      }
    if (!ReadWholeIndex(s.c_str(), 1, index)) return false;
    value = index;
    return true;
  }
  if (id != kPresetParamId || NPresets() <= 0) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (s == PresetName(i)) {
      value = ValueForPreset(i);
      return true;
    }
  if (!ReadWholeIndex(s.c_str(), NPresets() - 1, index)) return false;
  value = ValueForPreset(index);
  return true;
}

void IEffectVST3::RegisterParameters() {
  String128 title;
  if (NPresets() > 0) {
    WidenText("Preset", title);
    parameters.addParameter(new Parameter(title, kPresetParamId, nullptr, 0.0, NPresets() - 1,
                                          ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, kRootUnitId,
                                          nullptr));
  }
  if (!IsInstrument()) {
    WidenText("Bypass", title);
    auto* bypass = new StringListParameter(
        title, kBypassParamId, nullptr, ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass,
        kRootUnitId);
    parameters.addParameter(bypass);
    String128 text;
    for (const char* name : kBypassTexts) {
      WidenText(name, text);
      bypass->appendString(text);
    }
  }
  for (int i = 0; i < NParams(); ++i) {
    const IParamSlot& slot = *GetParam(i);
    UnitID unit = kRootUnitId;
    if (slot.Group()[0]) {
      int group = FindGroup(slot.Group());
      if (group < 0) {
        AddGroupName(slot.Group());
        group = NGroups() - 1;
      }
      unit = group + 1;
    }
    parameters.addParameter(new IEffectParameter(slot, static_cast<ParamID>(i), unit));
  }
}

// The component state holds the same bytes as the controller state, and
// this one object is both sides: restoring it again is harmless and lets a
// host that syncs its controller this way read the restored values.
tresult PLUGIN_API IEffectVST3::setComponentState(IBStream* state) { return RestoreState(state, false); }

// The SDK's lookup by position would throw for a position outside the list.
tresult PLUGIN_API IEffectVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kResultFalse;
  try {
    return EditControllerEx1::getParameterInfo(paramIndex, info);
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
  if (!string) return kResultFalse;
  try {
    if (!IsCoreId(*this, id)) return SwitchText(id, valueNormalized, string) ? kResultOk : kResultFalse;
    SlotValueText(*GetParam(static_cast<int>(id)), valueNormalized, string);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

// Host text is checked before anything reads it; malformed text is refused.
tresult PLUGIN_API IEffectVST3::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) {
  if (!IsWellFormedHostText(string)) return kResultFalse;
  try {
    if (!IsCoreId(*this, id)) return SwitchValue(id, string, valueNormalized) ? kResultOk : kResultFalse;
    Parameter* parameter = parameters.getParameter(id);
    return parameter && parameter->fromString(string, valueNormalized) ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

ParamValue PLUGIN_API IEffectVST3::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  if (!IsCoreId(*this, id)) return plainValue;
  return GetParam(static_cast<int>(id))->ToNormalized(plainValue);
}

ParamValue PLUGIN_API IEffectVST3::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
  if (!IsCoreId(*this, id)) return valueNormalized;
  return GetParam(static_cast<int>(id))->FromNormalized(valueNormalized);
}

ParamValue PLUGIN_API IEffectVST3::getParamNormalized(ParamID id) {
  if (id == kBypassParamId) return mShownBypass.load(std::memory_order_relaxed);
  if (!IsCoreId(*this, id)) return 0.0;
  return GetParam(static_cast<int>(id))->NormalizedValue();
}

// The host's bypass value is shown as the host set it until the processed
// queue or a restored state says otherwise; the audio follows the queue.
tresult PLUGIN_API IEffectVST3::setParamNormalized(ParamID id, ParamValue value) {
  if (!std::isfinite(value)) return kResultFalse;
  if (id == kBypassParamId) {
    mShownBypass.store(value > 0.5 ? 1.0 : 0.0, std::memory_order_relaxed);
    return kResultOk;
  }
  if (id == kPresetParamId) return SelectProgram(value);
  if (!IsCoreId(*this, id)) return kResultFalse;
  GetParam(static_cast<int>(id))->SetFromNormalized(value);
  return kResultOk;
}

// A program chosen through the controller loads at once, and the host is
// told that every value changed so that it shows the program's values; the
// processor loads the same program again when the change reaches its queue.
tresult IEffectVST3::SelectProgram(double value) {
  const int preset = PresetForValue(value);
  if (preset < 0) return kResultFalse;
  try {
    {
      PlugLock lock(Mutex());
      if (!LoadPreset(preset, false)) return kResultFalse;
    }
    RefreshParamControls();
    NotifyHostOfNewValues();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

bool IEffectVST3::EditProgram(int index) {
  if (index < 0 || index >= NPresets()) return false;
  const double value = ValueForPreset(index);
  beginEdit(kPresetParamId);
  const bool loaded = SelectProgram(value) == kResultOk;
  if (loaded) performEdit(kPresetParamId, value);
  endEdit(kPresetParamId);
  return loaded;
}

IPlugView* PLUGIN_API IEffectVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, "editor") != 0) return nullptr;
  try {
    mEditorViews.reserve(mEditorViews.size() + 1);
    auto* view = new IEffectVST3View(this);
    mEditorViews.push_back(view);
    return view;
  } catch (...) {
    return nullptr;
  }
}

tresult PLUGIN_API IEffectVST3::setKnobMode(KnobMode /*mode*/) { return kResultOk; }

int32 PLUGIN_API IEffectVST3::getUnitCount() { return 1 + NGroups(); }

tresult PLUGIN_API IEffectVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex < 0 || unitIndex > NGroups()) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
  WidenText(unitIndex == 0 ? "Root Unit" : GroupName(unitIndex - 1), info.name);
  info.programListId = kNoProgramListId;
  return kResultOk;
}

int32 PLUGIN_API IEffectVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IEffectVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kResultFalse;
  info.id = kPresetParamId;
  WidenText("Factory Presets", info.name);
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (listId != static_cast<ProgramListID>(kPresetParamId) || !name) return kResultFalse;
  const bool inList = programIndex >= 0 && programIndex < NPresets();
  WidenText(inList ? PresetName(programIndex) : "", name);
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) {
  return kNotImplemented;
}

tresult PLUGIN_API IEffectVST3::hasProgramPitchNames(ProgramListID, int32) { return kNotImplemented; }

tresult PLUGIN_API IEffectVST3::getProgramPitchName(ProgramListID, int32, int16, String128) { return kNotImplemented; }

UnitID PLUGIN_API IEffectVST3::getSelectedUnit() { return kRootUnitId; }

tresult PLUGIN_API IEffectVST3::selectUnit(UnitID) { return kNotImplemented; }

tresult PLUGIN_API IEffectVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) { return kNotImplemented; }

tresult PLUGIN_API IEffectVST3::setUnitProgramData(int32, int32, IBStream*) { return kNotImplemented; }

void IEffectVST3::BeginHostEdit(int index) { beginEdit(static_cast<ParamID>(index)); }

void IEffectVST3::SendHostEdit(int index, double normalized) { performEdit(static_cast<ParamID>(index), normalized); }

void IEffectVST3::EndHostEdit(int index) { endEdit(static_cast<ParamID>(index)); }

// Requests from the editor go to the view that shows it, or else to the
// first view the effect made.
void IEffectVST3::ResizeEditorFrame(int width, int height) {
  if (!Graphics() || mEditorViews.empty()) return;
  IEffectVST3View* view = IEffectVST3View::ShowingView(this);
  (view ? view : mEditorViews.front())->RequestFrameSize(width, height);
}

void IEffectVST3::OpenHostContextMenu(int index, int x, int y) {
  if (!componentHandler || mEditorViews.empty()) return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler) return;
  const ParamID id = static_cast<ParamID>(index);
  IPlugView* view = IEffectVST3View::ShowingView(this);
  if (!view) view = mEditorViews.front();
  if (IContextMenu* menu = handler->createContextMenu(view, &id)) {
    menu->popup(x, y);
    menu->release();
  }
}
