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
  const std::string binary = ModuleBinaryPath(path, error);
  if (binary.empty()) return nullptr;
  std::unique_ptr<ModuleLibrary> module(new ModuleLibrary());
  module->mBinaryPath = binary;
  module->mHandle = platform::OpenLibrary(binary, error);
  if (!module->mHandle) return nullptr;

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

IPluginFactory* ModuleLibrary::RequestFactory() const {
  auto getFactory = reinterpret_cast<GetFactoryFn>(platform::FindSymbol(mHandle, "GetPluginFactory"));
  return getFactory ? getFactory() : nullptr;
}

void* ModuleLibrary::Symbol(const char* name) const { return mHandle ? platform::FindSymbol(mHandle, name) : nullptr; }

ModuleLibrary::~ModuleLibrary() { Unload(); }

void ModuleLibrary::Unload() {
  mFactory = nullptr;
  if (!mHandle) return;
  if (mEntered) {
    if (auto exitFn = reinterpret_cast<ExitFn>(platform::FindSymbol(mHandle, platform::kModuleExitName))) exitFn();
  }
  platform::CloseLibrary(mHandle);
  mHandle = nullptr;
}

}  // namespace vellox::host
