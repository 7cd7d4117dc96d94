#pragma once
// A growable in-memory byte stream for saving and restoring effect state.
#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ibstream.h"

namespace vellox::host {

class MemoryStream : public Steinberg::IBStream {
public:
  MemoryStream() { FUNKNOWN_CTOR }
  explicit MemoryStream(std::vector<uint8_t> bytes);
  virtual ~MemoryStream() = default;

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  const std::vector<uint8_t>& Bytes() const { return mBytes; }

  DECLARE_FUNKNOWN_METHODS

private:
  std::vector<uint8_t> mBytes;
  size_t mPosition = 0;
};

}  // namespace vellox::host
