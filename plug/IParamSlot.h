#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Parameter type codes. Only kParamContinuous is continuous; every other
// non-zero code is stepped (1 and 3 are further stepped kinds).
enum : int32_t {
  kParamUnset = 0,
  kParamInteger = 2,
  kParamContinuous = 4,
};

// Text shown instead of the number when the truncated value equals `value`.
struct ParamDisplayText {
  int32_t value;
  char text[32];
};

// Room that DisplayString needs for any text it can produce.
constexpr size_t kParamDisplayMax = 64;

// A double that two threads may read and write without a lock; copies take
// the value at the time of copying.
class RelaxedDouble {
public:
  explicit RelaxedDouble(double value = 0.0) : mValue(value) {}
  RelaxedDouble(const RelaxedDouble& other) : mValue(other.Load()) {}
  RelaxedDouble& operator=(const RelaxedDouble& other) {
    Store(other.Load());
    return *this;
  }
  double Load() const { return mValue.load(std::memory_order_relaxed); }
  void Store(double value) { mValue.store(value, std::memory_order_relaxed); }

private:
  std::atomic<double> mValue;
};

// One automatable parameter: plain value with its range, step and curve, and
// the mapping to the normalised 0..1 figure that hosts and controls use.
class IParamSlot {
public:
  IParamSlot() = default;

  void Define(const char* name, double defaultValue, double min, double max, double step, const char* label = "",
              const char* group = "", double shape = 1.0);

  double NormalizedValue() const;
  // Plain value for a normalised figure (clamped to 0..1, NaN ignored).
  void SetFromNormalized(double n);
  // Normalised figure of any plain value, clamped to the range first.
  double ToNormalized(double plain) const;
  // Plain value of a normalised figure, without quantisation or clamping.
  double FromNormalized(double n) const;
  // The plain value SetFromNormalized(n) leaves: what the audio, the editor
  // and every text of the figure go by. NaN leaves the current value.
  double PlainForNormalized(double n) const;
  // A plain value as the slot takes it from saved state: a stepped value
  // rounded to its step as a host's figure is, then limited to the range.
  double Limited(double plain) const;

  // Display text of a plain value; `out` holds at least outSize bytes.
  void DisplayString(double value, char* out, size_t outSize = kParamDisplayMax) const;
  // Non-empty display text for value (truncated toward zero), or nullptr.
  const char* DisplayTextFor(double value) const;

  void AddDisplayText(int32_t value, const char* text);
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const ParamDisplayText* GetDisplayText(int i) const;

  int32_t Type() const { return mType; }
  void SetType(int32_t type) { mType = type; }
  bool IsContinuous() const { return mType == kParamContinuous; }

  // The value is shared by the audio thread (host automation) and the user
  // interface thread (controller queries and sets), so it is atomic; relaxed
  // order is enough for one value and costs a plain load or store.
  double Value() const { return mValue.Load(); }
  // Plain assignment; callers keep the value within Min()..Max().
  void SetValue(double value) { mValue.Store(value); }

  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  double Default() const { return mDefault; }
  int32_t Precision() const { return mPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }

  bool NegateDisplay() const { return mNegateDisplay; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  bool CanAutomate() const { return mCanAutomate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }

private:
  int32_t mType = kParamUnset;
  RelaxedDouble mValue;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int32_t mPrecision = 0;
  char mName[32] = {};
  char mLabel[32] = {};
  char mGroup[32] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  std::vector<ParamDisplayText> mDisplayTexts;
};
