// The module's class factory: GetPluginFactory and the creation function of
// its one class, the Vellox effect.
#include <mutex>

#include "CPluginFactory.h"
#include "ModuleFactory.h"
#include "Vellox.h"
#include "VelloxIdentity.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Serialises construction of effect objects across host threads; created on
// first use, destroyed at process exit.
std::mutex& InstanceCreationLock() {
  static std::mutex lock;
  return lock;
}

std::mutex& FactoryLock() {
  static std::mutex lock;
  return lock;
}

PFactoryInfo MakeFactoryInfo() {
  PFactoryInfo info;
  strncpy8(info.vendor, kVelloxVendor, PFactoryInfo::kNameSize);
  strncpy8(info.url, kVelloxUrl, PFactoryInfo::kURLSize);
  strncpy8(info.email, kVelloxEmailUrl, PFactoryInfo::kEmailSize);
  info.flags = kModuleFactoryFlags;
  return info;
}

PClassInfo2 MakeClassInfo() {
  const TUID cid = INLINE_UID(kModuleClassUid[0], kModuleClassUid[1], kModuleClassUid[2], kModuleClassUid[3]);
  return PClassInfo2(cid, kModuleClassCardinality, kModuleClassCategory, kVelloxName,
                     static_cast<int32>(kModuleClassFlags), kModuleClassSubCategories, kModuleClassVendor,
                     kVelloxVersionText, kModuleClassSdkVersion);
}

}  // namespace

FUnknown* CreatePlugInstance(void* /*context*/) {
  Vellox* effect = nullptr;
  {
    std::lock_guard<std::mutex> lock(InstanceCreationLock());
    try {
      effect = new Vellox();
    } catch (...) {
      effect = nullptr;
    }
  }
  return effect ? static_cast<IAudioProcessor*>(effect) : nullptr;
}

IPluginFactory* PLUGIN_API GetPluginFactory() {
  try {
    std::lock_guard<std::mutex> lock(FactoryLock());
    if (gPluginFactory) {
      gPluginFactory->addRef();
      return gPluginFactory;
    }
    static const PFactoryInfo factoryInfo = MakeFactoryInfo();
    static const PClassInfo2 classInfo = MakeClassInfo();
    auto* factory = new CPluginFactory(factoryInfo);
    factory->registerClass(&classInfo, CreatePlugInstance, nullptr);
    gPluginFactory = factory;
    return factory;
  } catch (...) {
    return nullptr;
  }
}
