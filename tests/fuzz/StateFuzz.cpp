// Saved state from the host, on the controller and the component side, through
// complete, short, failing and lying streams. A restore takes a whole state or
// changes nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzChecks.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr size_t kStateBytes = 44;     // the first layout
constexpr size_t kExtendedBytes = 72;  // with the extension of this version
const uint8_t kTag[4] = {'V', 'L', 'X', 'E'};

// A host stream with the faults hosts' streams have. It notes whether any
// read it answered was incomplete by its own account (failed, or a count
// other than what was asked), which a plug-in can see.
class HostileStream : public FakeStream {
public:
  enum Count { kHonest, kUntouched, kUnderstated, kOverstated };

  HostileStream(std::vector<uint8_t> data, bool shortReads, Count count, int32 failAbove)
      : FakeStream(std::move(data), !shortReads), mCount(count), mFailAbove(failAbove) {}

  tresult PLUGIN_API read(void* buffer, int32 n, int32* done) override {
    const size_t available = bytes.size() - cursor;
    // Reads of the first layout must be whole; after it a reader may probe.
    const bool firstLayout = cursor < kStateBytes;
    // A read that could only be partial fails whole when the count is not
    // written: that stream would otherwise deliver less than it claims.
    if ((mFailAbove > 0 && n > mFailAbove) || (mCount == kUntouched && available < static_cast<size_t>(n))) {
      incomplete = incomplete || firstLayout;
      return kResultFalse;
    }
    int32 moved = 0;
    const tresult result = FakeStream::read(buffer, n, &moved);
    int32 told = moved;
    if (mCount == kUnderstated && moved > 0) told = moved - 1;
    if (mCount == kOverstated) told = moved + 1;
    incomplete = incomplete || (firstLayout && (result != kResultOk || told != n));
    if (done && mCount != kUntouched) *done = told;
    return result;
  }

  bool incomplete = false;

private:
  Count mCount;
  int32 mFailAbove;
};

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
      continue;
    }
    // Accepted: a whole first layout came, and what was restored is that
    // layout alone or, behind the tag, with the extension an honest stream gives.
    FUZZ_REQUIRE(!stream.incomplete && stream.cursor >= kStateBytes, "accepted an incomplete state of %zu bytes",
                 stream.cursor);
    EffectRig first;
    FakeStream alone(std::vector<uint8_t>(bytes.begin(), bytes.begin() + kStateBytes));
    FUZZ_REQUIRE(first.controller->setState(&alone) == kResultOk, "a whole first layout was refused");
    const bool tagged = bytes.size() >= kStateBytes + 4 && std::equal(kTag, kTag + 4, bytes.begin() + kStateBytes);
    if (!tagged || SaveState(rig) == SaveState(first)) continue;
    FUZZ_REQUIRE(stream.cursor >= kExtendedBytes, "took the extension from %zu bytes", stream.cursor);
    EffectRig extended;
    FakeStream whole(std::vector<uint8_t>(bytes.begin(), bytes.begin() + kExtendedBytes));
    FUZZ_REQUIRE(extended.controller->setState(&whole) == kResultOk, "a whole extended state was refused");
    FUZZ_REQUIRE(SaveState(rig) == SaveState(extended), "the restored state is not the stream's");
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
