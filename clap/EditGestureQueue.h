#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// The editor's gestures on their way to the host: pushed on the main thread,
// taken on the audio thread (or in a parameter flush) and sent as output
// events. One writer, one reader, no lock and no allocation; a gesture that
// finds the queue full is dropped (the value itself is in the slot already).
class EditGestureQueue {
public:
  enum class Kind : uint8_t { kBegin, kValue, kEnd };
  struct Gesture {
    Kind kind = Kind::kValue;
    uint32_t id = 0;
    double value = 0.0;
  };

  bool Push(const Gesture& gesture) {
    const uint32_t head = mHead.load(std::memory_order_relaxed);
    const uint32_t next = (head + 1) % kCapacity;
    if (next == mTail.load(std::memory_order_acquire)) return false;
    mItems[head] = gesture;
    mHead.store(next, std::memory_order_release);
    return true;
  }

  bool Pop(Gesture& gesture) {
    const uint32_t tail = mTail.load(std::memory_order_relaxed);
    if (tail == mHead.load(std::memory_order_acquire)) return false;
    gesture = mItems[tail];
    mTail.store((tail + 1) % kCapacity, std::memory_order_release);
    return true;
  }

private:
  static constexpr uint32_t kCapacity = 1024;
  std::array<Gesture, kCapacity> mItems{};
  std::atomic<uint32_t> mHead{0};
  std::atomic<uint32_t> mTail{0};
};
