// Saved state from the host, on the controller and the component side, through
// complete, short, failing and lying streams. A restore takes a whole state or
// changes nothing; from an honest stream, exactly the state its bytes hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzChecks.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr size_t kStateBytes = 44;      // the first layout
constexpr size_t kExtendedBytes = 248;  // with the extension of this version
// An extension holds at least the first version's two values, and never
// more than this many bytes of values.
constexpr uint32_t kFirstValueBytes = 16, kMostValueBytes = 8 * 4096;
const uint8_t kTag[4] = {'V', 'L', 'X', 'E'};

// A host stream with the faults hosts' streams have: short or failing reads,
// counts honest, unwritten, one too few or too many; large reads may fail.
class HostileStream : public FakeStream {
public:
  enum Count { kHonest, kUntouched, kUnderstated, kOverstated };

  HostileStream(std::vector<uint8_t> data, bool shortReads, Count count, int32 failAbove)
      : FakeStream(std::move(data), !shortReads), mCount(count), mFailAbove(failAbove) {}

  tresult PLUGIN_API read(void* buffer, int32 n, int32* done) override {
    const size_t available = bytes.size() - cursor;
    if ((mFailAbove > 0 && n > mFailAbove) || (mCount == kUntouched && available < static_cast<size_t>(n)))
      return kResultFalse;
    int32 moved = 0;
    const tresult result = FakeStream::read(buffer, n, &moved);
    int32 told = moved;
    if (mCount == kUnderstated && moved > 0) told = moved - 1;
    if (mCount == kOverstated) told = moved + 1;
    if (done && mCount != kUntouched) *done = told;
    return result;
  }

  tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override {
    if (mode != kIBSeekEnd) return FakeStream::seek(pos, mode, result);
    if (result) *result = static_cast<int64>(bytes.size());
    return kResultOk;
  }

  bool Honest() const { return mCount == kHonest || mCount == kUntouched; }

private:
  Count mCount;
  int32 mFailAbove;
};

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// The state the bytes hold, as this version writes it: the first layout
// alone or with a whole tail (tag, version >= 1, whole values); else empty.
std::vector<uint8_t> StateHeld(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kStateBytes) return {};
  std::vector<uint8_t> state(bytes.begin(), bytes.begin() + kStateBytes);
  if (bytes.size() == kStateBytes) return state;
  const size_t known = kExtendedBytes - kStateBytes - 12;
  if (bytes.size() < kStateBytes + 12 || !std::equal(kTag, kTag + 4, bytes.begin() + kStateBytes)) return {};
  const uint32_t version = Word(bytes, kStateBytes + 4);
  const uint32_t count = Word(bytes, kStateBytes + 8);
  if (version < 1 || count < kFirstValueBytes || count % 8 != 0 || count > kMostValueBytes ||
      bytes.size() < kStateBytes + 12 + count)
    return {};
  // The values this version knows; an earlier version's missing ones take
  // their defaults, a later version's extra ones are dropped.
  const size_t taken = std::min<size_t>(count, known);
  state.insert(state.end(), kTag, kTag + 4);
  state.insert(state.end(), {1, 0, 0, 0, static_cast<uint8_t>(taken), 0, 0, 0});
  state.insert(state.end(), bytes.begin() + kStateBytes + 12, bytes.begin() + kStateBytes + 12 + taken);
  return state;
}

tresult Restore(EffectRig& rig, int side, IBStream* stream) {
  switch (side) {
    case 1: return rig.component->setState(stream);
    case 2: return rig.controller->setComponentState(stream);
    default: return rig.controller->setState(stream);
  }
}

}  // namespace

// First byte: bits 0-1 the side (0, 3 controller setState, 1 component setState,
// 2 controller setComponentState), bit 2 a short stream (a read past the end
// answers kResultOk with fewer bytes instead of failing), bit 3 restore the
// stream twice, bits 4-5 how the stream counts the bytes it moved (honestly,
// not at all, one too few, one too many), bit 6 reads above the second byte's
// value fail. The rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t mode = data[0];
  const int32 failAbove = (mode & 64) ? data[1] : 0;
  const std::vector<uint8_t> bytes(data + 2, data + size);
  const auto count = static_cast<HostileStream::Count>((mode >> 4) & 3);
  EffectRig rig;

  for (int round = 0; round < ((mode & 8) ? 2 : 1); ++round) {
    const std::vector<uint8_t> before = SaveState(rig);
    HostileStream stream(bytes, (mode & 4) != 0, count, failAbove);
    const tresult result = Restore(rig, mode & 3, &stream);
    FUZZ_REQUIRE(stream.cursor <= bytes.size(), "stream cursor %zu past %zu bytes", stream.cursor, bytes.size());
    RequireParamsInRange(rig);
    if (result != kResultOk) {
      FUZZ_REQUIRE(SaveState(rig) == before, "a refused restore changed the state");
      FUZZ_REQUIRE(!stream.Honest() || failAbove != 0 || StateHeld(bytes).empty(), "refused a whole state of %zu bytes",
                   bytes.size());
      continue;
    }
    if (!stream.Honest()) continue;
    const std::vector<uint8_t> held = StateHeld(bytes);
    FUZZ_REQUIRE(!held.empty(), "accepted %zu bytes that hold no state", bytes.size());
    EffectRig expected;
    FakeStream whole(held);
    FUZZ_REQUIRE(expected.controller->setState(&whole) == kResultOk, "a whole state was refused");
    FUZZ_REQUIRE(SaveState(rig) == SaveState(expected), "the restored state is not the stream's");
  }
  RequireStateRoundTrip(rig);

  // A saved state is taken back whole by a new instance.
  const std::vector<uint8_t> saved = SaveState(rig);
  EffectRig other;
  FakeStream copy(saved);
  FUZZ_REQUIRE(other.controller->setState(&copy) == kResultOk, "a new instance refused a saved state");
  FUZZ_REQUIRE(SaveState(other) == saved, "a new instance saves a restored state differently");
  return 0;
}
