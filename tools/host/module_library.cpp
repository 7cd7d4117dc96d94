#include "module_library.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vellox::host {

namespace fs = std::filesystem;
using Steinberg::IPluginFactory;

namespace {

using GetFactoryFn = IPluginFactory*(PLUGIN_API*)();

#ifdef _WIN32
constexpr const char* kArchDir = "x86_64-win";
constexpr const char* kBinarySuffix = ".vst3";
constexpr const char* kEntryName = "InitDll";
constexpr const char* kExitName = "ExitDll";
using EntryFn = bool(PLUGIN_API*)();
#else
constexpr const char* kArchDir = "x86_64-linux";
constexpr const char* kBinarySuffix = ".so";
constexpr const char* kEntryName = "ModuleEntry";
constexpr const char* kExitName = "ModuleExit";
using EntryFn = bool(PLUGIN_API*)(void*);
#endif
using ExitFn = bool(PLUGIN_API*)();

fs::path Utf8Path(const std::string& text) {
#ifdef _WIN32
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (!wide.empty()) wide.pop_back();
  return fs::path(wide);
#else
  return fs::path(text);
#endif
}

std::string PathUtf8(const fs::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

void* OpenLibrary(const fs::path& path, std::string& error) {
#ifdef _WIN32
  HMODULE module = LoadLibraryW(path.wstring().c_str());
  if (!module) error = "cannot load " + PathUtf8(path) + " (Windows error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(module);
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    error = "cannot load " + path.string() + ": " + (why ? why : "unknown error");
  }
  return handle;
#endif
}

void* FindSymbol(void* handle, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}

void CloseLibrary(void* handle) {
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
  dlclose(handle);
#endif
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
  const fs::path binary = path / "Contents" / kArchDir / (name.stem().native() + Utf8Path(kBinarySuffix).native());
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
  module->mHandle = OpenLibrary(Utf8Path(binary), error);
  if (!module->mHandle) return nullptr;

  auto entry = reinterpret_cast<EntryFn>(FindSymbol(module->mHandle, kEntryName));
  if (!entry) {
    error = binary + " does not export " + kEntryName;
    return nullptr;
  }
#ifdef _WIN32
  const bool entered = entry();
#else
  const bool entered = entry(module->mHandle);
#endif
  if (!entered) {
    error = std::string(kEntryName) + " of " + binary + " failed";
    return nullptr;
  }
  module->mEntered = true;

  auto getFactory = reinterpret_cast<GetFactoryFn>(FindSymbol(module->mHandle, "GetPluginFactory"));
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
  auto getFactory = reinterpret_cast<GetFactoryFn>(FindSymbol(mHandle, "GetPluginFactory"));
  return getFactory ? getFactory() : nullptr;
}

void* ModuleLibrary::Symbol(const char* name) const { return mHandle ? FindSymbol(mHandle, name) : nullptr; }

ModuleLibrary::~ModuleLibrary() { Unload(); }

void ModuleLibrary::Unload() {
  mFactory = nullptr;
  if (!mHandle) return;
  if (mEntered) {
    if (auto exitFn = reinterpret_cast<ExitFn>(FindSymbol(mHandle, kExitName))) exitFn();
  }
  CloseLibrary(mHandle);
  mHandle = nullptr;
}

}  // namespace vellox::host
