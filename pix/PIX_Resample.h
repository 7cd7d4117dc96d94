// Scaling artwork: each frame of a vertical filmstrip resampled on its own,
// so no frame bleeds into its neighbour.
#pragma once

#include "PIX_Bitmap.h"

// Resamples the `frames` equal frames stacked in `src` into frames of
// frameW x frameH stacked in `dst` (resized to frameW x frameH * frames).
// Shrinking averages the area each pixel covers, enlarging interpolates
// linearly, both on premultiplied colour, so edges stay clean and fine detail
// is averaged, not dropped. Returns false (dst empty) when a size is not positive.
bool ResampleFrames(const PIX_IBitmap& src, int frames, PIX_MemBitmap& dst, int frameW, int frameH);
