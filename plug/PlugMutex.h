#pragma once

#include <mutex>

// The plug-in's recursive lock. The owning thread may take it again while it
// already holds it; other threads wait.
class PlugMutex {
public:
  PlugMutex() = default;
  PlugMutex(const PlugMutex&) = delete;
  PlugMutex& operator=(const PlugMutex&) = delete;

  void Lock();
  void Unlock();
  bool TryLock();

private:
  std::recursive_mutex mMutex;
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
