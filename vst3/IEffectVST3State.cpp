#include "IEffectVST3.h"
#include "base/source/fstreamer.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// Saved state: the core's parameter chunk, then a little-endian int32 that is
// 1 while the host has bypassed the plug-in. The controller and the component
// save and restore the same bytes, so a project saved through either side
// loads through the other, and hosts that read values from the component
// state see the real ones.

namespace {

// The SDK's streamer with the words in little-endian order. A transfer is
// judged by its result, and the byte count only where the stream fills it in
// (some hosts' streams leave it alone): a failed call moved nothing, and one
// that left the count alone moved everything.
class StateStreamer : public IBStreamer {
public:
  explicit StateStreamer(IBStream* stream) : IBStreamer(stream, kLittleEndian) {}

  TSize readRaw(void* buffer, TSize size) override {
    int32 read = -1;
    if (stream->read(buffer, static_cast<int32>(size), &read) != kResultOk) return 0;
    return read == -1 ? size : read;
  }

  TSize writeRaw(const void* buffer, TSize size) override {
    int32 written = -1;
    if (stream->write(const_cast<void*>(buffer), static_cast<int32>(size), &written) != kResultOk) return 0;
    return written == -1 ? size : written;
  }

  bool WriteAll(const void* data, int32 size) { return size == 0 || writeRaw(data, size) == size; }
};

}  // namespace

tresult IEffectVST3::SaveState(IBStream* stream) {
  if (!stream) return kInvalidArgument;
  try {
    PlugLock lock(Mutex());
    StateChunk chunk;
    if (!SerializeParams(chunk)) return kResultFalse;
    StateStreamer streamer(stream);
    if (!streamer.WriteAll(chunk.Data(), chunk.Size()) || !streamer.writeInt32u(IsBypassed() ? 1u : 0u))
      return kResultFalse;
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult IEffectVST3::RestoreState(IBStream* stream, bool notifyHost) {
  if (!stream) return kInvalidArgument;
  tresult result = kResultFalse;
  try {
    PlugLock lock(Mutex());
    // The current values fill the chunk first, so bytes the stream does not
    // deliver keep them.
    StateChunk chunk;
    SerializeParams(chunk);
    if (chunk.Size() == 0) return kResultFalse;
    StateStreamer streamer(stream);
    streamer.readRaw(chunk.Data(), chunk.Size());
    UnserializeParams(chunk, 0);

    uint32 bypass = 0;
    if (streamer.readInt32u(bypass)) {
      TakeHostBypass(bypass != 0);
      result = kResultOk;
    }
    RefreshParamControls();
  } catch (...) {
    return kResultFalse;
  }
  if (notifyHost) NotifyHostOfNewValues();
  return result;
}

// Outside the lock: the host may query values from inside the call.
void IEffectVST3::NotifyHostOfNewValues() {
  try {
    if (componentHandler) componentHandler->restartComponent(kParamValuesChanged);
  } catch (...) {}
}

tresult IEffectVST3::getControllerState(IBStream* stream) { return SaveState(stream); }

tresult IEffectVST3::setControllerState(IBStream* stream) { return RestoreState(stream, true); }

tresult IEffectVST3::getProcessorState(IBStream* stream) { return SaveState(stream); }

tresult IEffectVST3::setProcessorState(IBStream* stream) { return RestoreState(stream, true); }
