#include "StateChunk.h"

#include <cstring>
#include <limits>
#include <new>

namespace {
constexpr size_t kGrowStep = 4096;
}

bool StateChunk::Reserve(size_t size) {
  if (size <= mBytes.capacity()) return true;
  if (size > static_cast<size_t>(std::numeric_limits<int>::max())) return false;
  size_t grown = mBytes.capacity() + kGrowStep;
  if (grown < size) grown = size;
  try {
    mBytes.reserve(grown);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool StateChunk::Resize(int size) {
  if (size < 0 || !Reserve(static_cast<size_t>(size))) return false;
  mBytes.resize(static_cast<size_t>(size));
  return true;
}

bool StateChunk::Append(const void* data, int size) {
  if (size < 0 || (size > 0 && !data)) return false;
  const size_t old = mBytes.size();
  if (!Reserve(old + static_cast<size_t>(size))) return false;
  mBytes.resize(old + static_cast<size_t>(size));
  if (size > 0) std::memcpy(mBytes.data() + old, data, static_cast<size_t>(size));
  return true;
}

bool StateChunk::AppendDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint8_t le[8];
  for (int i = 0; i < 8; ++i) le[i] = static_cast<uint8_t>(bits >> (8 * i));
  return Append(le, 8);
}

bool StateChunk::ReadDouble(int64_t pos, double& value) const {
  if (pos < 0 || pos + 8 > static_cast<int64_t>(mBytes.size())) return false;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(mBytes[static_cast<size_t>(pos) + i]) << (8 * i);
  std::memcpy(&value, &bits, sizeof value);
  return true;
}
