#pragma once

// The plug-in's recursive lock. The owning thread may take it again while it
// already holds it; other threads wait. The platform primitive (a critical
// section on Windows, std::recursive_mutex elsewhere) lives in opaque storage
// so that no platform header leaks into users of this header.
class PlugMutex {
public:
  PlugMutex();
  ~PlugMutex();
  PlugMutex(const PlugMutex&) = delete;
  PlugMutex& operator=(const PlugMutex&) = delete;

  void Lock();
  void Unlock();
  bool TryLock();

private:
  alignas(16) unsigned char mStorage[64];
};

// Holds a PlugMutex for the lifetime of the guard.
class PlugLock {
public:
  explicit PlugLock(PlugMutex& mutex) : mMutex(mutex) { mMutex.Lock(); }
  ~PlugLock() { mMutex.Unlock(); }
  PlugLock(const PlugLock&) = delete;
  PlugLock& operator=(const PlugLock&) = delete;

private:
  PlugMutex& mMutex;
};
