#include <cstdint>

#include "IEffectVST3.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

// Saved state: the core's parameter chunk, then a little-endian int32 that is
// 1 while the host has bypassed the plug-in. Writes and reads are checked by
// the byte count moved, so a failing or short stream is never taken for a
// complete one.

namespace {

bool WriteAll(IBStream& stream, const void* data, int32 size) {
  if (size == 0)
    return true;
  int32 written = 0;
  return stream.write(const_cast<void*>(data), size, &written) == kResultOk && written == size;
}

bool ReadAll(IBStream& stream, void* data, int32 size) {
  int32 read = 0;
  return stream.read(data, size, &read) == kResultOk && read == size;
}

}  // namespace

tresult IEffectVST3::getControllerState(IBStream* stream) {
  if (!stream)
    return kInvalidArgument;
  try {
    PlugLock lock(Mutex());
    StateChunk chunk;
    if (!SerializeParams(chunk))
      return kResultFalse;
    const uint32_t bypass = IsBypassed() ? 1u : 0u;
    const uint8_t word[4] = {static_cast<uint8_t>(bypass), 0, 0, 0};
    if (!WriteAll(*stream, chunk.Data(), chunk.Size()) || !WriteAll(*stream, word, sizeof word))
      return kResultFalse;
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult IEffectVST3::setControllerState(IBStream* stream) {
  if (!stream)
    return kInvalidArgument;
  try {
    PlugLock lock(Mutex());
    // The current values fill the chunk first, so bytes the stream does not
    // deliver keep them.
    StateChunk chunk;
    SerializeParams(chunk);
    if (chunk.Size() == 0)
      return kResultFalse;
    ReadAll(*stream, chunk.Data(), chunk.Size());
    UnserializeParams(chunk, 0);

    uint8_t word[4] = {};
    if (!ReadAll(*stream, word, sizeof word))
      return kResultFalse;
    const uint32_t bypass = static_cast<uint32_t>(word[0]) | static_cast<uint32_t>(word[1]) << 8 |
                            static_cast<uint32_t>(word[2]) << 16 | static_cast<uint32_t>(word[3]) << 24;
    SetBypassed(bypass != 0);
    RefreshParamControls();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}
