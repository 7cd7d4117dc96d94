#pragma once

#ifdef __SSE__
#include <xmmintrin.h>
#endif

// While alive, the calling thread's floating-point unit flushes subnormal
// results to zero and reads subnormal inputs as zero (SSE control word bits
// FTZ 0x8000 and DAZ 0x0040). The previous setting comes back on
// destruction, so the host's own code is not affected.
class FlushDenormals {
public:
#ifdef __SSE__
  FlushDenormals() : mSaved(_mm_getcsr()) { _mm_setcsr(mSaved | 0x8040u); }
  ~FlushDenormals() { _mm_setcsr(mSaved); }
#else
  FlushDenormals() = default;
#endif
  FlushDenormals(const FlushDenormals&) = delete;
  FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
#ifdef __SSE__
  unsigned mSaved;
#endif
};
