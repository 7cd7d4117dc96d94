#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

// Class factory of a plug-in module: it describes the classes registered with
// it and creates their instances. One factory object exists per module while
// the host holds a reference to it.
class CPluginFactory : public Steinberg::IPluginFactory3 {
public:
  using CreateFunction = Steinberg::FUnknown* (*)(void* context);

  explicit CPluginFactory(const Steinberg::PFactoryInfo& info);
  virtual ~CPluginFactory();

  // Registers one class; the factory keeps a copy of the record.
  bool registerClass(const Steinberg::PClassInfo2* info, CreateFunction createFunc, void* context = nullptr);

  // IPluginFactory
  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid, void** obj) override;
  // IPluginFactory2
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) override;
  // IPluginFactory3
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index, Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

  DECLARE_FUNKNOWN_METHODS

private:
  struct ClassEntry {
    Steinberg::PClassInfo2 info;
    CreateFunction createFunc;
    void* context;
  };

  const ClassEntry* FindClass(Steinberg::FIDString cid) const;
  const Steinberg::PClassInfo2* ClassAt(Steinberg::int32 index) const;

  Steinberg::PFactoryInfo mFactoryInfo;
  std::vector<ClassEntry> mClasses;
};

// The module's one factory, null while none exists; a factory clears it when
// it is destroyed so that the next request builds a new one.
extern CPluginFactory* gPluginFactory;
