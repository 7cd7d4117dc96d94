// Linux module entry and exit exports; they take the roles of the Windows
// init and exit exports. The loader's handle stands for the module handle.
#include "ModuleHandle.h"

extern "C" {
__attribute__((visibility("default"))) bool ModuleEntry(void* sharedLibraryHandle);
__attribute__((visibility("default"))) bool ModuleExit();
}

bool ModuleEntry(void* sharedLibraryHandle) {
  ModuleHandle = sharedLibraryHandle;
  PlugModuleHandle = ModuleHandle;
  return true;
}

bool ModuleExit() { return true; }
