#include <cstring>

#include "HostParamIds.h"
#include "IEffectParameter.h"
#include "IEffectVST3.h"
#include "IEffectVST3View.h"
#include "WideText.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "public.sdk/source/common/pluginview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

bool IsCoreId(const IEffectBase& plug, ParamID id) {
  return id < static_cast<ParamID>(plug.NParams());
}

}  // namespace

void IEffectVST3::RegisterParameters() {
  String128 title;
  if (NPresets() > 0) {
    WidenText("Preset", title);
    parameters.addParameter(new Parameter(title, kPresetParamId, nullptr, 0.0, NPresets(),
                                          ParameterInfo::kIsProgramChange, kRootUnitId, nullptr));
  }
  if (!IsInstrument()) {
    WidenText("Bypass", title);
    auto* bypass = new StringListParameter(
        title, kBypassParamId, nullptr,
        ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
    parameters.addParameter(bypass);
    String128 text;
    WidenText("off", text);
    bypass->appendString(text);
    WidenText("on", text);
    bypass->appendString(text);
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

tresult PLUGIN_API IEffectVST3::setComponentState(IBStream* /*state*/) {
  return kNotImplemented;
}

// The SDK's lookup by position would throw for a position outside the list.
tresult PLUGIN_API IEffectVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount())
    return kResultFalse;
  return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API IEffectVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
  if (!IsCoreId(*this, id) || !string)
    return kResultFalse;
  SlotValueText(*GetParam(static_cast<int>(id)), valueNormalized, string);
  return kResultOk;
}

// The SDK's parameters read the text without checking for null.
tresult PLUGIN_API IEffectVST3::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) {
  if (!string)
    return kResultFalse;
  return EditControllerEx1::getParamValueByString(id, string, valueNormalized);
}

ParamValue PLUGIN_API IEffectVST3::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  if (!IsCoreId(*this, id))
    return plainValue;
  return GetParam(static_cast<int>(id))->ToNormalized(plainValue);
}

ParamValue PLUGIN_API IEffectVST3::getParamNormalized(ParamID id) {
  if (id == kBypassParamId)
    return IsBypassed() ? 1.0 : 0.0;
  if (!IsCoreId(*this, id))
    return 0.0;
  return GetParam(static_cast<int>(id))->NormalizedValue();
}

tresult PLUGIN_API IEffectVST3::setParamNormalized(ParamID id, ParamValue value) {
  if (!IsCoreId(*this, id))
    return kResultFalse;
  GetParam(static_cast<int>(id))->SetFromNormalized(value);
  return kResultOk;
}

IPlugView* PLUGIN_API IEffectVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, "editor") != 0)
    return nullptr;
  try {
    EditorViews.reserve(EditorViews.size() + 1);
    auto* view = new IEffectVST3View(this);
    EditorViews.push_back(view);
    return view;
  } catch (...) {
    return nullptr;
  }
}

tresult PLUGIN_API IEffectVST3::setKnobMode(KnobMode /*mode*/) {
  return kResultOk;
}

int32 PLUGIN_API IEffectVST3::getUnitCount() {
  return 1 + NGroups();
}

tresult PLUGIN_API IEffectVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex < 0 || unitIndex > NGroups())
    return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
  WidenText(unitIndex == 0 ? "Root Unit" : GroupName(unitIndex - 1), info.name);
  info.programListId = kNoProgramListId;
  return kResultOk;
}

int32 PLUGIN_API IEffectVST3::getProgramListCount() {
  return 0;
}

tresult PLUGIN_API IEffectVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0)
    return kResultFalse;
  info.id = kPresetParamId;
  WidenText("Factory Presets", info.name);
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (listId != static_cast<ProgramListID>(kPresetParamId) || !name)
    return kResultFalse;
  const bool inList = programIndex >= 0 && programIndex < NPresets();
  WidenText(inList ? PresetName(programIndex) : "", name);
  return kResultOk;
}

tresult PLUGIN_API IEffectVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) {
  return kNotImplemented;
}

tresult PLUGIN_API IEffectVST3::hasProgramPitchNames(ProgramListID, int32) {
  return kNotImplemented;
}

tresult PLUGIN_API IEffectVST3::getProgramPitchName(ProgramListID, int32, int16, String128) {
  return kNotImplemented;
}

UnitID PLUGIN_API IEffectVST3::getSelectedUnit() {
  return kRootUnitId;
}

tresult PLUGIN_API IEffectVST3::selectUnit(UnitID) {
  return kNotImplemented;
}

tresult PLUGIN_API IEffectVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
  return kNotImplemented;
}

tresult PLUGIN_API IEffectVST3::setUnitProgramData(int32, int32, IBStream*) {
  return kNotImplemented;
}

void IEffectVST3::BeginHostEdit(int index) {
  beginEdit(static_cast<ParamID>(index));
}

void IEffectVST3::SendHostEdit(int index, double normalized) {
  performEdit(static_cast<ParamID>(index), normalized);
}

void IEffectVST3::EndHostEdit(int index) {
  endEdit(static_cast<ParamID>(index));
}

void IEffectVST3::ResizeEditorFrame(int width, int height) {
  // Hosts show one view at a time: the request goes to the first one.
  if (!Graphics() || EditorViews.empty())
    return;
  EditorViews.front()->RequestFrameSize(width, height);
}

void IEffectVST3::OpenHostContextMenu(int index, int x, int y) {
  if (!componentHandler || EditorViews.empty())
    return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler)
    return;
  const ParamID id = static_cast<ParamID>(index);
  IPlugView* view = EditorViews.front();
  if (IContextMenu* menu = handler->createContextMenu(view, &id)) {
    menu->popup(x, y);
    menu->release();
  }
}
