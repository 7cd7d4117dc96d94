// Rectangle fills and a cheap in-place blur.
#pragma once

#include "PIX_Bitmap.h"

// Fills (x, y, w, h), clipped to the bitmap, with colour under alpha and a
// blend mode (see PIX_Blit.h); the colour's alpha byte is used only by plain
// copies at the exact weights and by ModeUseSourceAlpha.
void FillRect(PIX_IBitmap* bm, int x, int y, int w, int h, PixelWord colour, float alpha, int mode);

// 3 x 3 blur, in place, of the w x h region at the bitmap's top-left corner.
void BlurBitmap(PIX_IBitmap* bm, int w, int h);
