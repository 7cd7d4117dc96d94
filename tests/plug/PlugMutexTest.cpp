#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "PlugMutex.h"

TEST(PlugMutex, OwnerMayReenter) {
  PlugMutex mutex;
  PlugLock outer(mutex);
  PlugLock inner(mutex);
  EXPECT_TRUE(mutex.TryLock());
  mutex.Unlock();
}

TEST(PlugMutex, OtherThreadWaitsUntilFullyReleased) {
  PlugMutex mutex;
  std::atomic<bool> tried{false};
  std::atomic<bool> gotItWhileHeld{false};
  std::atomic<bool> acquired{false};
  mutex.Lock();
  mutex.Lock();
  std::thread other([&] {
    if (mutex.TryLock()) {
      gotItWhileHeld = true;
      mutex.Unlock();
    }
    tried = true;
    mutex.Lock();
    acquired = true;
    mutex.Unlock();
  });
  while (!tried) std::this_thread::yield();
  mutex.Unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(acquired.load());  // still held once by this thread
  mutex.Unlock();
  other.join();
  EXPECT_FALSE(gotItWhileHeld.load());
  EXPECT_TRUE(acquired.load());
}

TEST(PlugMutex, ExcludesConcurrentWriters) {
  PlugMutex mutex;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 100000; ++i) {
      PlugLock lock(mutex);
      PlugLock again(mutex);
      counter = counter + 1;
    }
  };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 200000);
}
