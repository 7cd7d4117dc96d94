#include "PIX_CopyRow.h"

#include "PIX_Combine.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

void PIX_CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n)
{
    int i = 0;
#ifdef __SSE2__
    // Four pixels at a time. The colour bytes use d' = s +- (|d - s| * (255 - a)) >> 8,
    // which equals s + (d - s) * (255 - a) / 256 with truncation toward zero; at
    // a = 255 it yields the source exactly, so only a = 0 needs masking.
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBits = _mm_set1_epi32((int)0xFF000000u);
    const __m128i all255 = _mm_set1_epi32(255);
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

        const __m128i f32 = _mm_sub_epi32(all255, _mm_srli_epi32(s, 24));
        const __m128i f16 = _mm_or_si128(f32, _mm_slli_epi32(f32, 16));
        const __m128i qlo =
            _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), _mm_unpacklo_epi32(f16, f16)), 8);
        const __m128i qhi =
            _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), _mm_unpackhi_epi32(f16, f16)), 8);
        const __m128i q = _mm_packus_epi16(qlo, qhi);
        const __m128i colour = _mm_or_si128(_mm_and_si128(destNotBelow, _mm_add_epi8(s, q)),
                                            _mm_andnot_si128(destNotBelow, _mm_sub_epi8(s, q)));
        const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alphaBits, colour),
                                           _mm_and_si128(alphaBits, _mm_adds_epu8(d, s)));
        const __m128i out = _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, mixed));
        _mm_storeu_si128((__m128i*)(dest + i), out);
    }
#endif
    for (; i < n; ++i) {
        const PixelWord s = src[i];
        const int a = (int)(s >> 24);
        if (a == 255)
            dest[i] = s;
        else if (a != 0)
            CombineCopySourceAlpha(dest + i, (s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF, a);
    }
}
