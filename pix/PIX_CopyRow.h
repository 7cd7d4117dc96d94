// The row loop of the source-alpha copy, the hot path of drawing artwork.
#pragma once

#include "PIX_Bitmap.h"

// CombineCopySourceAlpha applied to n pixels.
void PIX_CopySourceAlphaRow(PixelWord* dest, const PixelWord* src, int n);
