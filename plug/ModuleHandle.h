#pragma once

// Module instance handle (an HINSTANCE on Windows, the loader's handle on
// Linux). The library entry point stores ModuleHandle; the module's init
// export copies it into PlugModuleHandle, which the effect hands to its
// graphics object for loading the embedded artwork.
extern void* ModuleHandle;
extern void* PlugModuleHandle;

// The handle for artwork loading. A host that never calls the init export
// still gets the handle the entry point kept, so the artwork stays reachable.
inline void* GetPlugModuleHandle() { return PlugModuleHandle ? PlugModuleHandle : ModuleHandle; }
