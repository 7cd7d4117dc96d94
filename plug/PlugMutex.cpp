#include "PlugMutex.h"

#include <new>

#ifdef _WIN32
#include <windows.h>
using NativeLock = CRITICAL_SECTION;
#else
#include <mutex>
using NativeLock = std::recursive_mutex;
#endif

namespace {
static_assert(sizeof(NativeLock) <= 64, "lock storage too small");
static_assert(alignof(NativeLock) <= 16, "lock storage under-aligned");

NativeLock& Native(unsigned char* storage) { return *std::launder(reinterpret_cast<NativeLock*>(storage)); }
}  // namespace

#ifdef _WIN32
PlugMutex::PlugMutex() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
PlugMutex::~PlugMutex() { DeleteCriticalSection(&Native(storage_)); }
void PlugMutex::Lock() { EnterCriticalSection(&Native(storage_)); }
void PlugMutex::Unlock() { LeaveCriticalSection(&Native(storage_)); }
bool PlugMutex::TryLock() { return TryEnterCriticalSection(&Native(storage_)) != 0; }
#else
PlugMutex::PlugMutex() { new (storage_) std::recursive_mutex(); }
PlugMutex::~PlugMutex() { Native(storage_).~NativeLock(); }
void PlugMutex::Lock() { Native(storage_).lock(); }
void PlugMutex::Unlock() { Native(storage_).unlock(); }
bool PlugMutex::TryLock() { return Native(storage_).try_lock(); }
#endif
