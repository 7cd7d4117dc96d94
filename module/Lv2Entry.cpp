// The LV2 module's entry: the stereo and the mono Vellox plug-in.
#include <cstring>
#include <new>

#include "Lv2EditorUi.h"
#include "VelloxEditor.h"
#include "VelloxIdentity.h"
#include "VelloxLv2.h"

VelloxLv2::VelloxLv2() : VelloxEffect<IEffectLv2>(&BuildVelloxEditor) {}

namespace {

IEffectLv2* From(LV2_Handle handle) { return static_cast<IEffectLv2*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*, const LV2_Feature* const* features) {
  try {
    const int channels = std::strcmp(descriptor->URI, kVelloxLv2MonoUri) == 0 ? 1 : 2;
    auto* effect = new VelloxLv2();
    if (!effect->BindLv2(rate, channels, features)) {
      delete effect;
      return nullptr;
    }
    return static_cast<IEffectLv2*>(effect);
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { From(handle)->ConnectPort(port, data); }

void Activate(LV2_Handle handle) {
  try {
    From(handle)->Activate();
  } catch (...) {}
}

void Run(LV2_Handle handle, uint32_t frames) {
  try {
    From(handle)->Run(frames);
  } catch (...) {}
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle handle) { delete From(handle); }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
  try {
    return From(handle)->Save(store, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*) {
  try {
    return From(handle)->Restore(retrieve, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kState = {Save, Restore};

const void* ExtensionData(const char* uri) {
  return uri && !std::strcmp(uri, LV2_STATE__interface) ? &kState : nullptr;
}

const LV2_Descriptor kDescriptors[] = {
    {kVelloxLv2StereoUri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
    {kVelloxLv2MonoUri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
};

const LV2UI_Descriptor kUi = {kVelloxLv2UiUri, Lv2EditorUiInstantiate, Lv2EditorUiCleanup, Lv2EditorUiPortEvent,
                              Lv2EditorUiExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index < 2 ? &kDescriptors[index] : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) { return index == 0 ? &kUi : nullptr; }
