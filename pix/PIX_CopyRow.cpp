#include "PIX_CopyRow.h"

#include "PIX_Combine.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PIX_HAVE_X86 1
#endif

// Colour bytes are computed as
//   d' = s +- (|d - s| * f) >> 8,  f = 255 - a,
// which equals s + (d - s) * (255 - a) / 256 truncated toward zero. At a = 255
// (f = 0) that is the source exactly; for a = 0, f = 256 gives back d, and the
// saturating alpha add leaves d's alpha, so no pixel needs a separate path.
// Blocks that are wholly opaque or wholly transparent skip the arithmetic.

void CopySourceAlphaRowScalar(PixelWord* dest, const PixelWord* src, int n) {
  for (int i = 0; i < n; ++i) {
    const PixelWord s = src[i];
    const int a = (int)(s >> 24);
    if (a == 255)
      dest[i] = s;
    else if (a != 0)
      CombineCopySourceAlpha(dest + i, (s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF, a);
  }
}

#ifdef PIX_HAVE_X86
namespace {

__attribute__((target("sse2"))) void RowSse2(PixelWord* dest, const PixelWord* src, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaBits = _mm_set1_epi32((int)0xFF000000u);
  const __m128i all255 = _mm_set1_epi32(255);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128((const __m128i*)(src + i));
    const __m128i sa = _mm_and_si128(s, alphaBits);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaBits)) == 0xFFFF) {
      _mm_storeu_si128((__m128i*)(dest + i), s);
      continue;
    }
    const __m128i clear = _mm_cmpeq_epi32(sa, zero);
    if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
    const __m128i d = _mm_loadu_si128((const __m128i*)(dest + i));

    const __m128i sOverD = _mm_subs_epu8(s, d);
    const __m128i diff = _mm_or_si128(_mm_subs_epu8(d, s), sOverD);
    const __m128i destNotBelow = _mm_cmpeq_epi8(sOverD, zero);
    const __m128i f32 = _mm_sub_epi32(_mm_sub_epi32(all255, _mm_srli_epi32(s, 24)), clear);
    const __m128i f16 = _mm_or_si128(f32, _mm_slli_epi32(f32, 16));
    // diff in the high byte of each 16-bit lane, so mulhi yields (diff * f) >> 8.
    const __m128i qlo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, diff), _mm_unpacklo_epi32(f16, f16));
    const __m128i qhi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, diff), _mm_unpackhi_epi32(f16, f16));
    const __m128i q = _mm_packus_epi16(qlo, qhi);
    // s + q where d >= s, s - q elsewhere: with M all ones, (q ^ M) - M = -q.
    const __m128i colour = _mm_sub_epi8(s, _mm_sub_epi8(_mm_xor_si128(q, destNotBelow), destNotBelow));
    _mm_storeu_si128((__m128i*)(dest + i),
                     _mm_or_si128(_mm_andnot_si128(alphaBits, colour), _mm_and_si128(alphaBits, _mm_adds_epu8(d, s))));
  }
  CopySourceAlphaRowScalar(dest + i, src + i, n - i);
}

__attribute__((target("avx2"))) void RowAvx2(PixelWord* dest, const PixelWord* src, int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaBits = _mm256_set1_epi32((int)0xFF000000u);
  const __m256i all255 = _mm256_set1_epi32(255);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256((const __m256i*)(src + i));
    const __m256i sa = _mm256_and_si256(s, alphaBits);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sa, alphaBits)) == -1) {
      _mm256_storeu_si256((__m256i*)(dest + i), s);
      continue;
    }
    const __m256i clear = _mm256_cmpeq_epi32(sa, zero);
    if (_mm256_movemask_epi8(clear) == -1) continue;
    const __m256i d = _mm256_loadu_si256((const __m256i*)(dest + i));

    const __m256i sOverD = _mm256_subs_epu8(s, d);
    const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(d, s), sOverD);
    const __m256i destNotBelow = _mm256_cmpeq_epi8(sOverD, zero);
    const __m256i f32 = _mm256_sub_epi32(_mm256_sub_epi32(all255, _mm256_srli_epi32(s, 24)), clear);
    const __m256i f16 = _mm256_or_si256(f32, _mm256_slli_epi32(f32, 16));
    const __m256i qlo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, diff), _mm256_unpacklo_epi32(f16, f16));
    const __m256i qhi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, diff), _mm256_unpackhi_epi32(f16, f16));
    const __m256i q = _mm256_packus_epi16(qlo, qhi);
    const __m256i colour = _mm256_sub_epi8(s, _mm256_sub_epi8(_mm256_xor_si256(q, destNotBelow), destNotBelow));
    _mm256_storeu_si256((__m256i*)(dest + i), _mm256_or_si256(_mm256_andnot_si256(alphaBits, colour),
                                                              _mm256_and_si256(alphaBits, _mm256_adds_epu8(d, s))));
  }
  RowSse2(dest + i, src + i, n - i);
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

}  // namespace

const PIX_CopyRowFn CopySourceAlphaRowSse2 = RowSse2;
const PIX_CopyRowFn CopySourceAlphaRowAvx2 = HasAvx2() ? RowAvx2 : nullptr;

void CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n) {
  static const PIX_CopyRowFn row = CopySourceAlphaRowAvx2 ? CopySourceAlphaRowAvx2 : RowSse2;
  row(dest, src, n);
}

#else

const PIX_CopyRowFn CopySourceAlphaRowSse2 = nullptr;
const PIX_CopyRowFn CopySourceAlphaRowAvx2 = nullptr;

void CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n) { CopySourceAlphaRowScalar(dest, src, n); }

#endif
