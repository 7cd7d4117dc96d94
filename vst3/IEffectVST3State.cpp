#include <cstdint>

#include "IEffectVST3.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// Saved state: the core's parameter chunk, then a little-endian int32 that is
// 1 while the host has bypassed the plug-in. The controller and the component
// save and restore the same bytes, so a project saved through either side
// loads through the other, and hosts that read values from the component
// state see the real ones.

namespace {

// A write is judged by its result; the byte count only where the stream
// fills it in (some hosts' streams leave it alone).
bool WriteAll(IBStream& stream, const void* data, int32 size) {
  if (size == 0)
    return true;
  int32 written = -1;
  if (stream.write(const_cast<void*>(data), size, &written) != kResultOk)
    return false;
  return written == -1 || written == size;
}

bool ReadAll(IBStream& stream, void* data, int32 size) {
  int32 read = -1;
  if (stream.read(data, size, &read) != kResultOk)
    return false;
  return read == -1 || read == size;
}

}  // namespace

tresult IEffectVST3::SaveState(IBStream* stream) {
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

tresult IEffectVST3::RestoreState(IBStream* stream, bool notifyHost) {
  if (!stream)
    return kInvalidArgument;
  tresult result = kResultFalse;
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
    if (ReadAll(*stream, word, sizeof word)) {
      const uint32_t bypass = static_cast<uint32_t>(word[0]) | static_cast<uint32_t>(word[1]) << 8 |
                              static_cast<uint32_t>(word[2]) << 16 | static_cast<uint32_t>(word[3]) << 24;
      SetBypassed(bypass != 0);
      mShownBypass.store(bypass != 0 ? 1.0 : 0.0, std::memory_order_relaxed);
      result = kResultOk;
    }
    RefreshParamControls();
  } catch (...) {
    return kResultFalse;
  }
  if (notifyHost)
    NotifyHostOfNewValues();
  return result;
}

// Outside the lock: the host may query values from inside the call.
void IEffectVST3::NotifyHostOfNewValues() {
  try {
    if (componentHandler)
      componentHandler->restartComponent(kParamValuesChanged);
  } catch (...) {
  }
}

tresult IEffectVST3::getControllerState(IBStream* stream) {
  return SaveState(stream);
}

tresult IEffectVST3::setControllerState(IBStream* stream) {
  return RestoreState(stream, true);
}

tresult IEffectVST3::getProcessorState(IBStream* stream) {
  return SaveState(stream);
}

tresult IEffectVST3::setProcessorState(IBStream* stream) {
  return RestoreState(stream, true);
}
