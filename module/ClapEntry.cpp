// The CLAP module's entry and its plug-in factory with the one Vellox plug-in.
#include <cstring>
#include <mutex>

#include "ModuleHandle.h"
#include "VelloxClap.h"
#include "VelloxEditor.h"
#include "VelloxIdentity.h"

#ifdef _WIN32
#include <windows.h>
#define VELLOX_CLAP_EXPORT __declspec(dllexport)
#else
#define VELLOX_CLAP_EXPORT __attribute__((visibility("default")))
#endif

VelloxClap::VelloxClap() : VelloxEffect<IEffectClap>(&BuildVelloxEditor) {}

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_STEREO, CLAP_PLUGIN_FEATURE_MONO,
                                 nullptr};

const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION_INIT,  kVelloxClapId,    kVelloxName, kVelloxVendor, kVelloxUrl, "", "",
    kVelloxVersionText, "Volume chopper", kFeatures};

std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

uint32_t FactoryCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* FactoryDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* FactoryCreate(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
  if (!host || !id || std::strcmp(id, kDescriptor.id) != 0 || !clap_version_is_compatible(host->clap_version))
    return nullptr;
  try {
    std::lock_guard<std::mutex> lock(CreationLock());
    auto* effect = new VelloxClap();
    effect->BindClap(host, &kDescriptor);
    return effect->ClapPlugin();
  } catch (...) {
    return nullptr;
  }
}

const clap_plugin_factory_t kFactory = {FactoryCount, FactoryDescriptor, FactoryCreate};

// Where the module's artwork lives: on Windows the library's own resources.
void KeepModuleHandle() {
#ifdef _WIN32
  HMODULE module = nullptr;
  if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&KeepModuleHandle), &module))
    ModuleHandle = module;
#endif
  PlugModuleHandle = ModuleHandle;
}

bool EntryInit(const char*) {
  KeepModuleHandle();
  return true;
}

void EntryDeinit() {}

const void* EntryFactory(const char* id) {
  return id && !std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) ? &kFactory : nullptr;
}

}  // namespace

extern "C" VELLOX_CLAP_EXPORT const clap_plugin_entry_t clap_entry = {CLAP_VERSION_INIT, EntryInit, EntryDeinit,
                                                                      EntryFactory};
