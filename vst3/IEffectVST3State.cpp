#include <cstring>

#include "IEffectVST3.h"
#include "base/source/fstreamer.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// Saved state: the values of the first layout's parameters (8-byte
// little-endian doubles), then a little-endian int32 that is 1 while the host
// has bypassed the plug-in. Parameters added since follow in an extension:
// the tag "VLXE", a uint32 version, a uint32 byte count of the values, then
// the values. Each later version only appends values and raises the number,
// so a reader takes the values it knows and ignores the rest; a reader of the
// first layout stops before the tag. A state that ends after the bypass word
// gives the added parameters their defaults. The controller and the
// component save and restore the same bytes, so a project saved through
// either side loads through the other, and hosts that read values from the
// component state see the real ones.

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
  bool ReadAll(void* data, int32 size) { return size == 0 || readRaw(data, size) == size; }
};

constexpr uint8 kExtensionTag[4] = {'V', 'L', 'X', 'E'};
constexpr uint32 kExtensionVersion = 1;
constexpr int32 kExtensionHeaderBytes = 12;

// The extension after the first layout: its values are appended to chunk.
// Where the stream ends with the first layout, or goes on with bytes that
// are not the tag (a version before the extension accepted and ignored
// such bytes), the added parameters take their defaults. Some hosts' streams
// fail a read past their end rather than report a short one. Behind the tag
// a header or values that are cut short or malformed refuse the state.
bool ReadExtension(IEffectBase& plug, StateStreamer& streamer, StateChunk& chunk) {
  const int first = plug.StateLayoutParams();
  const int32 valueBytes = 8 * (plug.NParams() - first);
  if (valueBytes == 0) return true;
  uint8 tag[4] = {};
  if (streamer.readRaw(tag, 4) != 4 || std::memcmp(tag, kExtensionTag, 4) != 0) {
    for (int i = first; i < plug.NParams(); ++i)
      if (!chunk.AppendDouble(plug.GetParam(i)->Default())) return false;
    return true;
  }
  uint32 version = 0;
  uint32 bytes = 0;
  if (!streamer.readInt32u(version) || !streamer.readInt32u(bytes) || version < 1 ||
      bytes < static_cast<uint32>(valueBytes))
    return false;
  const int start = chunk.Size();
  return chunk.Resize(start + valueBytes) && streamer.ReadAll(chunk.Data() + start, valueBytes);
}

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
    const int32 firstBytes = 8 * StateLayoutParams();
    const int32 extensionBytes = chunk.Size() - firstBytes;
    StateStreamer streamer(stream);
    if (!streamer.WriteAll(chunk.Data(), firstBytes) || !streamer.writeInt32u(bypass)) return kResultFalse;
    if (extensionBytes > 0 && (!streamer.WriteAll(kExtensionTag, 4) || !streamer.writeInt32u(kExtensionVersion) ||
                               !streamer.writeInt32u(static_cast<uint32>(extensionBytes)) ||
                               !streamer.WriteAll(chunk.Data() + firstBytes, extensionBytes)))
      return kResultFalse;
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
    const int firstBytes = 8 * StateLayoutParams();
    StateChunk chunk;
    if (firstBytes <= 0 || !chunk.Reserve(static_cast<size_t>(StateBytes())) || !chunk.Resize(firstBytes))
      return kResultFalse;
    StateStreamer streamer(stream);
    uint32 bypass = 0;
    if (!streamer.ReadAll(chunk.Data(), firstBytes) || !streamer.readInt32u(bypass) ||
        !ReadExtension(*this, streamer, chunk))
      return kResultFalse;
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

int IEffectVST3::StateBytes() const {
  const int added = NParams() - StateLayoutParams();
  return 8 * NParams() + 4 + (added > 0 ? kExtensionHeaderBytes : 0);
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
