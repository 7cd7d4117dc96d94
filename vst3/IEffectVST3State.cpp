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

// The values are taken under the lock into memory reserved before it; the
// host's stream is written only after the lock is released.
tresult IEffectVST3::SaveState(IBStream* stream) {
  if (!stream) return kInvalidArgument;
  try {
    StateChunk chunk;
    if (!chunk.Reserve(StateBytes())) return kResultFalse;
    uint32 bypass = 0;
    {
      PlugLock lock(Mutex());
      if (!SerializeParams(chunk)) return kResultFalse;
      bypass = IsBypassed() ? 1u : 0u;
    }
    StateStreamer streamer(stream);
    if (!streamer.WriteAll(chunk.Data(), chunk.Size()) || !streamer.writeInt32u(bypass)) return kResultFalse;
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

// All or nothing: the whole state is read and checked before anything
// changes, then applied in one step under the lock. A stream that ends
// early, fails a read or delivers fewer bytes than asked changes nothing.
tresult IEffectVST3::RestoreState(IBStream* stream, bool notifyHost) {
  if (!stream) return kInvalidArgument;
  try {
    const int chunkBytes = StateBytes() - 4;
    StateChunk chunk;
    if (chunkBytes <= 0 || !chunk.Resize(chunkBytes)) return kResultFalse;
    StateStreamer streamer(stream);
    uint32 bypass = 0;
    if (streamer.readRaw(chunk.Data(), chunkBytes) != chunkBytes || !streamer.readInt32u(bypass)) return kResultFalse;
    {
      PlugLock lock(Mutex());
      UnserializeParams(chunk, 0);
      TakeHostBypass(bypass != 0);
    }
    RefreshParamControls();
  } catch (...) {
    return kResultFalse;
  }
  if (notifyHost) NotifyHostOfNewValues();
  return kResultOk;
}

int IEffectVST3::StateBytes() const { return 8 * NParams() + 4; }

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
