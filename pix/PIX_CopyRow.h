// The row loop of the source-alpha copy, the hot path of drawing artwork.
#pragma once

#include "PIX_Bitmap.h"

// CombineCopySourceAlpha applied to n pixels, using the widest vector unit
// the processor has.
void PIX_CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n);

// The individual variants, exposed so tests can check each one; the vector
// variants are null where they cannot run.
typedef void (*PIX_CopyRowFn)(PixelWord* dest, const PixelWord* src, int n);
void PIX_CopySourceAlphaRowScalar(PixelWord* dest, const PixelWord* src, int n);
extern const PIX_CopyRowFn PIX_CopySourceAlphaRowSse2;
extern const PIX_CopyRowFn PIX_CopySourceAlphaRowAvx2;
