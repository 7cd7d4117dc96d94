// Windows library entry and the module's init and exit exports.
#include <windows.h>

#include "ModuleHandle.h"

extern "C" {
__declspec(dllexport) bool InitDll();
__declspec(dllexport) bool ExitDll();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) ModuleHandle = instance;
  return TRUE;
}

bool InitDll() {
  PlugModuleHandle = ModuleHandle;
  return true;
}

bool ExitDll() { return true; }
