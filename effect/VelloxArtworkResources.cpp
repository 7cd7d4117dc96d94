// The artwork from the module's own "PNG" resources (Windows); the embedded
// copy is not linked in.
#include "ModuleHandle.h"
#include "VelloxArtworkSource.h"

IGraphicsArtworkSource VelloxArtworkSource() {
  IGraphicsArtworkSource source;
  source.moduleHandle = GetPlugModuleHandle();
  return source;
}
