#include "SavedState.h"

#include <algorithm>
#include <cstring>

#include "IEffectBase.h"

namespace {

constexpr uint8_t kExtensionTag[4] = {'V', 'L', 'X', 'E'};
// Version 1 held the two values after the first layout; version 2 appends
// the rest. Each version's values start with the ones before it, so the same
// bytes as the VST 3 binding's state.
constexpr uint32_t kExtensionVersion = 2;
constexpr uint32_t kFirstExtensionBytes = 16;
constexpr size_t kExtensionHeaderBytes = 12;
// Far more values than any later version will add; a count beyond it is damage.
constexpr uint32_t kExtensionMaxBytes = 8 * 4096;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

double GetDouble(const uint8_t* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace

bool EncodeSavedState(IEffectBase& plug, bool bypassed, std::vector<uint8_t>& bytes) {
  try {
    const int first = plug.StateLayoutParams();
    const int added = plug.NParams() - first;
    StateChunk chunk;
    if (!chunk.Reserve(static_cast<size_t>(8 * plug.NParams()))) return false;
    {
      PlugLock lock(plug.Mutex());
      if (!plug.SerializeParams(chunk)) return false;
    }
    const uint8_t* values = chunk.Data();
    bytes.clear();
    bytes.reserve(static_cast<size_t>(chunk.Size()) + 4 + (added > 0 ? kExtensionHeaderBytes : 0));
    bytes.insert(bytes.end(), values, values + 8 * first);
    PutU32(bytes, bypassed ? 1u : 0u);
    if (added > 0) {
      bytes.insert(bytes.end(), kExtensionTag, kExtensionTag + 4);
      PutU32(bytes, kExtensionVersion);
      PutU32(bytes, static_cast<uint32_t>(8 * added));
      bytes.insert(bytes.end(), values + 8 * first, values + chunk.Size());
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool DecodeSavedState(const IEffectBase& plug, const uint8_t* bytes, size_t size, DecodedState& state) {
  const size_t first = static_cast<size_t>(plug.StateLayoutParams());
  const size_t count = static_cast<size_t>(plug.NParams());
  const size_t firstBytes = 8 * first + 4;
  if (first == 0 || !bytes || size < firstBytes) return false;
  std::vector<double> values(count);
  for (size_t i = 0; i < first; ++i) values[i] = GetDouble(bytes + 8 * i);
  const bool bypassed = GetU32(bytes + 8 * first) != 0;
  const size_t addedBytes = 8 * (count - first);
  if (addedBytes > 0) {
    const uint8_t* at = bytes + firstBytes;
    const size_t left = size - firstBytes;
    if (left == 0) {
      for (size_t i = first; i < count; ++i) values[i] = plug.GetParam(static_cast<int>(i))->Default();
    } else {
      if (left < kExtensionHeaderBytes || std::memcmp(at, kExtensionTag, 4) != 0) return false;
      const uint32_t version = GetU32(at + 4);
      const uint32_t extensionBytes = GetU32(at + 8);
      if (version < 1 || extensionBytes < kFirstExtensionBytes || extensionBytes % 8 != 0 ||
          extensionBytes > kExtensionMaxBytes || left - kExtensionHeaderBytes < extensionBytes)
        return false;
      // An earlier version's values are followed by defaults; a later
      // version's values past ours are dropped.
      const size_t known = first + std::min<size_t>(extensionBytes, addedBytes) / 8;
      for (size_t i = first; i < known; ++i) values[i] = GetDouble(at + kExtensionHeaderBytes + 8 * (i - first));
      for (size_t i = known; i < count; ++i) values[i] = plug.GetParam(static_cast<int>(i))->Default();
    }
  }
  state.values = std::move(values);
  state.bypassed = bypassed;
  return true;
}

void ApplySavedState(IEffectBase& plug, const DecodedState& state) {
  StateChunk chunk;
  if (!chunk.Reserve(8 * state.values.size())) return;
  for (double v : state.values) chunk.AppendDouble(v);
  PlugLock lock(plug.Mutex());
  plug.UnserializeParams(chunk, 0);
}

size_t MaxSavedStateBytes(const IEffectBase& plug) {
  return 8 * static_cast<size_t>(plug.StateLayoutParams()) + 4 + kExtensionHeaderBytes + kExtensionMaxBytes;
}
