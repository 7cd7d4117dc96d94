#include "memory_stream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace vellox::host {

using namespace Steinberg;

MemoryStream::MemoryStream(std::vector<uint8_t> bytes)
    : mBytes(std::move(bytes)){FUNKNOWN_CTOR}

      IMPLEMENT_FUNKNOWN_METHODS(MemoryStream, IBStream, IBStream::iid)

          tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const size_t available = mPosition < mBytes.size() ? mBytes.size() - mPosition : 0;
  const size_t count = std::min(available, static_cast<size_t>(numBytes));
  if (count > 0) std::memcpy(buffer, mBytes.data() + mPosition, count);
  mPosition += count;
  if (numBytesRead) *numBytesRead = static_cast<int32>(count);
  // A short read is a failure: callers that ignore the count still learn of it.
  return count == static_cast<size_t>(numBytes) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  try {
    const size_t end = mPosition + static_cast<size_t>(numBytes);
    if (end > mBytes.size()) mBytes.resize(end);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  if (numBytes > 0) std::memcpy(mBytes.data() + mPosition, buffer, static_cast<size_t>(numBytes));
  mPosition += static_cast<size_t>(numBytes);
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = 0;
  if (mode == kIBSeekCur)
    base = static_cast<int64>(mPosition);
  else if (mode == kIBSeekEnd)
    base = static_cast<int64>(mBytes.size());
  else if (mode != kIBSeekSet)
    return kInvalidArgument;
  const int64 target = base + pos;
  if (target < 0) return kInvalidArgument;
  mPosition = static_cast<size_t>(target);
  if (result) *result = target;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = static_cast<int64>(mPosition);
  return kResultOk;
}

}  // namespace vellox::host
