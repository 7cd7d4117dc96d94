#include <algorithm>
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
// gives the added parameters their defaults; any other bytes there that are
// not a whole extension refuse the state. The controller and the
// component save and restore the same bytes, so a project saved through
// either side loads through the other, and hosts that read values from the
// component state see the real ones.

namespace {

// How a transfer through a host's stream went.
enum class Moved {
  kAll,      // every byte asked for
  kStopped,  // the stream ended or failed first
  kBroken,   // the stream reported a count it cannot have moved
};

// The SDK's streamer with the words in little-endian order. A stream may
// move fewer bytes than asked and still be fine, so each transfer goes on
// call after call until every byte has moved, the stream ends (a read that
// moves nothing) or fails. The byte count is believed where the stream fills
// it in (some hosts' streams leave it alone: then the call moved everything).
class StateStreamer : public IBStreamer {
public:
  explicit StateStreamer(IBStream* stream) : IBStreamer(stream, kLittleEndian) {}

  Moved Read(void* data, int32 size, int32& done) {
    return Transfer(size, done, [&](int32 at, int32 n, int32* count) {
      return stream->read(static_cast<uint8*>(data) + at, n, count);
    });
  }

  Moved Write(const void* data, int32 size) {
    int32 done = 0;
    return Transfer(size, done, [&](int32 at, int32 n, int32* count) {
      return stream->write(const_cast<uint8*>(static_cast<const uint8*>(data)) + at, n, count);
    });
  }

  TSize readRaw(void* buffer, TSize size) override {
    int32 done = 0;
    Read(buffer, static_cast<int32>(size), done);
    return done;
  }

  TSize writeRaw(const void* buffer, TSize size) override {
    return Write(buffer, static_cast<int32>(size)) == Moved::kAll ? size : 0;
  }

  bool WriteAll(const void* data, int32 size) { return Write(data, size) == Moved::kAll; }
  bool ReadAll(void* data, int32 size) {
    int32 done = 0;
    return Read(data, size, done) == Moved::kAll;
  }

  // Whether the stream holds bytes past the current position, as far as it
  // can tell: a stream that cannot seek is taken to be at its end.
  bool BytesRemain() {
    int64 position = 0;
    int64 end = 0;
    if (stream->tell(&position) != kResultOk || stream->seek(0, IBStream::kIBSeekEnd, &end) != kResultOk) return false;
    stream->seek(position, IBStream::kIBSeekSet, nullptr);
    return end > position;
  }

private:
  template <class Call>
  static Moved Transfer(int32 size, int32& done, Call call) {
    done = 0;
    while (done < size) {
      const int32 left = size - done;
      int32 count = -1;
      if (call(done, left, &count) != kResultOk) {
        // A stream failing at its end may still have moved what it had.
        if (count > 0 && count <= left) done += count;
        return Moved::kStopped;
      }
      if (count == -1) count = left;
      if (count < 0 || count > left) return Moved::kBroken;
      if (count == 0) return Moved::kStopped;
      done += count;
    }
    return Moved::kAll;
  }
};

constexpr uint8 kExtensionTag[4] = {'V', 'L', 'X', 'E'};
// Version 1 held the two values after the first layout; version 2 appends
// the rest. Each version's values start with the ones before it.
constexpr uint32 kExtensionVersion = 2;
constexpr uint32 kFirstExtensionBytes = 16;
constexpr int32 kExtensionHeaderBytes = 12;
// Far more values than any later version will add; a count beyond it is damage.
constexpr uint32 kExtensionMaxBytes = 8 * 4096;

// Values of a later version that this one does not know: read and dropped.
bool SkipBytes(StateStreamer& streamer, uint32 bytes) {
  uint8 scratch[256];
  for (; bytes > 0;) {
    const int32 n = static_cast<int32>(bytes < sizeof scratch ? bytes : sizeof scratch);
    if (!streamer.ReadAll(scratch, n)) return false;
    bytes -= static_cast<uint32>(n);
  }
  return true;
}

// The extension after the first layout: its values are appended to chunk.
// Where the stream ends with the first layout (as a version before the
// extension wrote it) the added parameters take their defaults; some hosts'
// streams fail a read past their end rather than report a short one. Any
// other bytes there must be a whole extension: a tag cut short or not ours,
// a header or values cut short or malformed, refuse the state. An extension
// of an earlier version holds the values of the parameters it knew, the
// later ones take their defaults; a later version's values past ours are
// read and dropped.
bool ReadExtension(IEffectBase& plug, StateStreamer& streamer, StateChunk& chunk) {
  const int first = plug.StateLayoutParams();
  const int32 valueBytes = 8 * (plug.NParams() - first);
  if (valueBytes == 0) return true;
  const auto appendDefaults = [&](int from) {
    for (int i = from; i < plug.NParams(); ++i)
      if (!chunk.AppendDouble(plug.GetParam(i)->Default())) return false;
    return true;
  };
  uint8 tag[4] = {};
  int32 got = 0;
  const Moved moved = streamer.Read(tag, 4, got);
  if (got == 0 && moved != Moved::kBroken) return !streamer.BytesRemain() && appendDefaults(first);
  if (moved != Moved::kAll || std::memcmp(tag, kExtensionTag, 4) != 0) return false;
  uint32 version = 0;
  uint32 bytes = 0;
  if (!streamer.readInt32u(version) || !streamer.readInt32u(bytes) || version < 1 || bytes < kFirstExtensionBytes ||
      bytes % 8 != 0 || bytes > kExtensionMaxBytes)
    return false;
  const int32 known = std::min(static_cast<int32>(bytes), valueBytes);
  const int start = chunk.Size();
  return chunk.Resize(start + known) && streamer.ReadAll(chunk.Data() + start, known) &&
         SkipBytes(streamer, bytes - static_cast<uint32>(known)) && appendDefaults(first + known / 8);
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
