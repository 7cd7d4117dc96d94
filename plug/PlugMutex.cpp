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
PlugMutex::PlugMutex() { InitializeCriticalSection(new (mStorage) CRITICAL_SECTION); }
PlugMutex::~PlugMutex() { DeleteCriticalSection(&Native(mStorage)); }
void PlugMutex::Lock() { EnterCriticalSection(&Native(mStorage)); }
void PlugMutex::Unlock() { LeaveCriticalSection(&Native(mStorage)); }
bool PlugMutex::TryLock() { return TryEnterCriticalSection(&Native(mStorage)) != 0; }
#else
PlugMutex::PlugMutex() { new (mStorage) std::recursive_mutex(); }
PlugMutex::~PlugMutex() { Native(mStorage).~NativeLock(); }
void PlugMutex::Lock() { Native(mStorage).lock(); }
void PlugMutex::Unlock() { Native(mStorage).unlock(); }
bool PlugMutex::TryLock() { return Native(mStorage).try_lock(); }
#endif
