#include "ModuleHandle.h"

void* ModuleHandle = nullptr;
void* PlugModuleHandle = nullptr;
