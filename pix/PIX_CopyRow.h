// The row loop of the source-alpha copy, the hot path of drawing artwork.
#pragma once

#include "PIX_Bitmap.h"

// CombineCopySourceAlpha applied to n pixels, using the widest vector unit
// the processor has.
void CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n);

// The individual variants, exposed so tests can check each one; the vector
// variants are null where they cannot run.
typedef void (*PIX_CopyRowFn)(PixelWord* dest, const PixelWord* src, int n);
void CopySourceAlphaRowScalar(PixelWord* dest, const PixelWord* src, int n);
extern const PIX_CopyRowFn CopySourceAlphaRowSse2;
extern const PIX_CopyRowFn CopySourceAlphaRowAvx2;
