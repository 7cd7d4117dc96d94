#include "module_library.h"

#include <filesystem>
#include <system_error>

#include "platform.h"

namespace vellox::host {

namespace fs = std::filesystem;
using Steinberg::IPluginFactory;

namespace {

using GetFactoryFn = IPluginFactory*(PLUGIN_API*)();
using ExitFn = bool(PLUGIN_API*)();

fs::path Utf8Path(const std::string& text) { return fs::u8path(text); }

std::string PathUtf8(const fs::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

bool EndsWith(std::string path, const std::string& suffix) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (path.size() < suffix.size()) return false;
  std::string tail = path.substr(path.size() - suffix.size());
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == suffix;
}

bool EndsWithClap(const std::string& path) { return EndsWith(path, ".clap"); }

}  // namespace

std::string ModuleBinaryPath(const std::string& bundleOrFile, std::string& error) {
  const fs::path path = Utf8Path(bundleOrFile);
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return bundleOrFile;
  if (!fs::is_directory(path, ec)) {
    error = "plug-in not found: " + bundleOrFile;
    return {};
  }
  fs::path name = path.filename().empty() ? path.parent_path().filename() : path.filename();
  const fs::path binary =
      path / "Contents" / platform::kModuleFolder / (name.stem().native() + Utf8Path(platform::kModuleSuffix).native());
  if (!fs::is_regular_file(binary, ec)) {
    error = "bundle " + bundleOrFile + " holds no module binary at " + PathUtf8(binary);
    return {};
  }
  return PathUtf8(binary);
}

std::unique_ptr<ModuleLibrary> ModuleLibrary::Load(const std::string& path, std::string& error) {
  if (EndsWith(path, ".lv2")) {
    std::error_code ec;
    if (!fs::is_regular_file(Utf8Path(path) / "manifest.ttl", ec)) {
      error = "LV2 bundle " + path + " holds no manifest.ttl";
      return nullptr;
    }
    std::unique_ptr<ModuleLibrary> module(new ModuleLibrary());
    module->mLv2Bundle = PathUtf8(fs::absolute(Utf8Path(path), ec));
    module->mBinaryPath = module->mLv2Bundle;
    return module;
  }
  std::string binary = ModuleBinaryPath(path, error);
  if (binary.empty()) return nullptr;
  // The loader searches its own folders for a bare file name; CLAP's entry
  // takes the module's full path.
  if (EndsWithClap(binary)) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(Utf8Path(binary), ec);
    if (!ec) binary = PathUtf8(absolute);
  }
  std::unique_ptr<ModuleLibrary> module(new ModuleLibrary());
  module->mBinaryPath = binary;
  module->mHandle = platform::OpenLibrary(binary, error);
  if (!module->mHandle) return nullptr;
  if (EndsWithClap(binary)) return module->LoadClap(error) ? std::move(module) : nullptr;

  void* entry = platform::FindSymbol(module->mHandle, platform::kModuleEntryName);
  if (!entry) {
    error = binary + " does not export " + platform::kModuleEntryName;
    return nullptr;
  }
  if (!platform::EnterModule(module->mHandle, entry)) {
    error = std::string(platform::kModuleEntryName) + " of " + binary + " failed";
    return nullptr;
  }
  module->mEntered = true;

  auto getFactory = reinterpret_cast<GetFactoryFn>(platform::FindSymbol(module->mHandle, "GetPluginFactory"));
  if (!getFactory) {
    error = binary + " does not export GetPluginFactory";
    return nullptr;
  }
  module->mFactory = Steinberg::owned(getFactory());
  if (!module->mFactory) {
    error = "GetPluginFactory of " + binary + " returned no factory";
    return nullptr;
  }
  return module;
}

// A CLAP module: its entry is initialised once with the module's path and
// answers the plug-in factory.
bool ModuleLibrary::LoadClap(std::string& error) {
  const auto* entry = static_cast<const clap_plugin_entry_t*>(platform::FindSymbol(mHandle, "clap_entry"));
  if (!entry || !entry->init || !entry->deinit || !entry->get_factory) {
    error = mBinaryPath + " does not export clap_entry";
    return false;
  }
  if (!clap_version_is_compatible(entry->clap_version)) {
    error = mBinaryPath + " is made for an incompatible CLAP version";
    return false;
  }
  if (!entry->init(mBinaryPath.c_str())) {
    error = "the CLAP entry of " + mBinaryPath + " failed to initialise";
    return false;
  }
  mClapEntry = entry;
  mClapFactory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  if (!mClapFactory) {
    error = mBinaryPath + " offers no CLAP plug-in factory";
    return false;
  }
  return true;
}

IPluginFactory* ModuleLibrary::RequestFactory() const {
  if (IsClap()) return nullptr;
  auto getFactory = reinterpret_cast<GetFactoryFn>(platform::FindSymbol(mHandle, "GetPluginFactory"));
  return getFactory ? getFactory() : nullptr;
}

void* ModuleLibrary::Symbol(const char* name) const { return mHandle ? platform::FindSymbol(mHandle, name) : nullptr; }

ModuleLibrary::~ModuleLibrary() { Unload(); }

void ModuleLibrary::Unload() {
  mFactory = nullptr;
  if (!mHandle) return;
  if (mClapEntry) {
    mClapEntry->deinit();
    mClapEntry = nullptr;
    mClapFactory = nullptr;
    platform::CloseLibrary(mHandle);
    mHandle = nullptr;
    return;
  }
  if (mEntered) {
    if (auto exitFn = reinterpret_cast<ExitFn>(platform::FindSymbol(mHandle, platform::kModuleExitName))) exitFn();
  }
  platform::CloseLibrary(mHandle);
  mHandle = nullptr;
}

}  // namespace vellox::host
