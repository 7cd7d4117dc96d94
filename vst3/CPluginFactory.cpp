#include "CPluginFactory.h"

#include <cstring>
#include <new>

using namespace Steinberg;

CPluginFactory* gPluginFactory = nullptr;

namespace {

// The host-facing methods run their bodies through this: nothing may unwind
// into the host, so any exception becomes `failure`.
template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

}  // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info)
    : mFactoryInfo(info){FUNKNOWN_CTOR}

      CPluginFactory::~CPluginFactory() {
  if (gPluginFactory == this) gPluginFactory = nullptr;
  FUNKNOWN_DTOR
}

IMPLEMENT_REFCOUNT(CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  return Guarded<tresult>(kNoInterface, [&]() -> tresult {
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
    *obj = nullptr;
    return kNoInterface;
  });
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context) {
  if (!info || !createFunc) return false;
  try {
    mClasses.push_back(ClassEntry{*info, createFunc, context});
  } catch (...) {
    return false;
  }
  return true;
}

const CPluginFactory::ClassEntry* CPluginFactory::FindClass(FIDString cid) const {
  if (!cid) return nullptr;
  for (const ClassEntry& entry : mClasses)
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) == 0) return &entry;
  return nullptr;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  return Guarded<tresult>(kInternalError, [&]() -> tresult {
    if (!info) return kInvalidArgument;
    std::memcpy(info, &mFactoryInfo, sizeof(PFactoryInfo));
    return kResultOk;
  });
}

int32 PLUGIN_API CPluginFactory::countClasses() {
  return Guarded<int32>(0, [&] { return static_cast<int32>(mClasses.size()); });
}

const PClassInfo2* CPluginFactory::ClassAt(int32 index) const {
  if (index < 0 || index >= static_cast<int32>(mClasses.size())) return nullptr;
  return &mClasses[static_cast<size_t>(index)].info;
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  return Guarded<tresult>(kInternalError, [&]() -> tresult {
    const PClassInfo2* src = ClassAt(index);
    if (!info || !src) return kInvalidArgument;
    *info = PClassInfo();
    std::memcpy(info->cid, src->cid, sizeof(TUID));
    info->cardinality = src->cardinality;
    std::memcpy(info->category, src->category, sizeof(info->category));
    std::memcpy(info->name, src->name, sizeof(info->name));
    return kResultOk;
  });
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  return Guarded<tresult>(kInternalError, [&]() -> tresult {
    const PClassInfo2* src = ClassAt(index);
    if (!info || !src) return kInvalidArgument;
    std::memcpy(info, src, sizeof(PClassInfo2));
    return kResultOk;
  });
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  return Guarded<tresult>(kInternalError, [&]() -> tresult {
    const PClassInfo2* src = ClassAt(index);
    if (!info || !src) return kInvalidArgument;
    info->fromAscii(*src);
    return kResultOk;
  });
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/) { return kNotImplemented; }

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  // The creation function may construct a whole effect: nothing it (or the
  // new object's interface query) throws may reach the host.
  return Guarded<tresult>(kInternalError, [&]() -> tresult {
    const ClassEntry* entry = FindClass(cid);
    if (!entry || !iid) return kNoInterface;
    FUnknown* instance = nullptr;
    try {
      instance = entry->createFunc(entry->context);
    } catch (...) {
      instance = nullptr;
    }
    if (!instance) return kOutOfMemory;
    tresult result = kNoInterface;
    try {
      result = instance->queryInterface(iid, obj);
    } catch (...) {
      result = kNoInterface;
    }
    instance->release();
    if (result != kResultOk) {
      *obj = nullptr;
      return kNoInterface;
    }
    return kResultOk;
  });
}
