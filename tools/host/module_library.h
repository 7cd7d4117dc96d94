#pragma once
// One loaded module: the shared library, its entry call and its factory; a
// VST 3 bundle or binary, or a CLAP module (a path ending in ".clap").
// Destruction releases the factory, calls the exit function and unloads.
#include <memory>
#include <string>

#include "clap/entry.h"
#include "clap/factory/plugin-factory.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

namespace vellox::host {

// The binary inside a bundle directory (Contents/<arch>/<name>), or the path
// itself when it names a file. Paths are UTF-8. Empty with `error` set on failure.
std::string ModuleBinaryPath(const std::string& bundleOrFile, std::string& error);

class ModuleLibrary {
public:
  // Loads the bundle or binary at `path`; null with `error` set on failure.
  static std::unique_ptr<ModuleLibrary> Load(const std::string& path, std::string& error);
  ~ModuleLibrary();

  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // The VST 3 factory; null for a CLAP module.
  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  // The CLAP plug-in factory; null for a VST 3 module.
  const clap_plugin_factory_t* ClapFactory() const { return mClapFactory; }
  bool IsClap() const { return mClapEntry != nullptr; }
  // An LV2 bundle (a folder ending in ".lv2"): the host loads it through its
  // description, so nothing is loaded here. Empty for other modules.
  const std::string& Lv2Bundle() const { return mLv2Bundle; }
  const std::string& BinaryPath() const { return mBinaryPath; }

  // Calls the module's GetPluginFactory export again; the caller owns the reference.
  Steinberg::IPluginFactory* RequestFactory() const;
  // Another export of the module by name, or null when it has none.
  void* Symbol(const char* name) const;

private:
  ModuleLibrary() = default;
  void Unload();
  bool LoadClap(std::string& error);

  void* mHandle = nullptr;
  bool mEntered = false;
  std::string mBinaryPath;
  Steinberg::IPtr<Steinberg::IPluginFactory> mFactory;
  const clap_plugin_entry_t* mClapEntry = nullptr;
  std::string mLv2Bundle;
  const clap_plugin_factory_t* mClapFactory = nullptr;
};

}  // namespace vellox::host
