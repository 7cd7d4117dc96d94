#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Growable byte buffer holding saved parameter state. Doubles are stored as
// little-endian IEEE-754 regardless of the machine's byte order.
class StateChunk {
public:
  int Size() const { return static_cast<int>(mBytes.size()); }
  // nullptr while the chunk is empty.
  uint8_t* Data() { return mBytes.empty() ? nullptr : mBytes.data(); }
  const uint8_t* Data() const { return mBytes.empty() ? nullptr : mBytes.data(); }

  // Each answers false, leaving the chunk unchanged, when memory runs out.
  bool Resize(int size);
  bool Append(const void* data, int size);
  bool AppendDouble(double value);

  // Reads the double at byte position pos; false when fewer than 8 bytes remain.
  bool ReadDouble(int64_t pos, double& value) const;

  void Clear() { mBytes.clear(); }

  // Room for size bytes without a later allocation; false when memory runs out.
  bool Reserve(size_t size);

private:
  std::vector<uint8_t> mBytes;
};
