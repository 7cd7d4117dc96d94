// Saved state from the host, on the controller and the component side, through
// complete, short and failing streams.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzChecks.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// First byte: bits 0-1 the side (0, 3 controller setState, 1 component setState,
// 2 controller setComponentState), bit 2 a short stream (a read past the end
// answers kResultOk with fewer bytes instead of failing), bit 3 restore the
// stream twice. The rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const std::vector<uint8_t> bytes(data + 1, data + size);
  EffectRig rig;
  const std::vector<uint8_t> before = SaveState(rig);

  const int rounds = (mode & 8) ? 2 : 1;
  for (int round = 0; round < rounds; ++round) {
    FakeStream stream(bytes, (mode & 4) == 0);
    tresult result = kResultOk;
    switch (mode & 3) {
      case 1: result = rig.component->setState(&stream); break;
      case 2: result = rig.controller->setComponentState(&stream); break;
      default: result = rig.controller->setState(&stream); break;
    }
    FUZZ_REQUIRE(stream.cursor <= bytes.size(), "stream cursor %zu past %zu bytes", stream.cursor, bytes.size());
    RequireParamsInRange(rig);
    // Only a whole state is accepted.
    if (result == kResultOk && (mode & 3) != 2)
      FUZZ_REQUIRE(stream.cursor >= before.size(), "accepted a state of %zu bytes", stream.cursor);
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
