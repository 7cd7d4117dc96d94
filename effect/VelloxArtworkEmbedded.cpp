// The artwork compiled into the module as PNG bytes.
#include "EmbeddedArtwork.h"
#include "ModuleHandle.h"
#include "VelloxArtworkSource.h"

IGraphicsArtworkSource VelloxArtworkSource() {
  IGraphicsArtworkSource source;
  source.moduleHandle = GetPlugModuleHandle();
  source.embedded = EmbeddedArtworkBytes;
  return source;
}
