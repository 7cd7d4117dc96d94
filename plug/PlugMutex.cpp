#include "PlugMutex.h"

void PlugMutex::Lock() { mMutex.lock(); }
void PlugMutex::Unlock() { mMutex.unlock(); }
bool PlugMutex::TryLock() { return mMutex.try_lock(); }
