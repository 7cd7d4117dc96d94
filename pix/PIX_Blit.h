// Compositing one bitmap onto another with a weight and a blend mode.
#pragma once

#include "PIX_Bitmap.h"
#include "PIX_Combine.h"

// Blend mode word: low byte the operation, bit 16 scales by source alpha.
typedef int BlendMode;
constexpr int ModeCopy = 0;
constexpr int ModeAdd = 1;
constexpr int ModeDodge = 2;
constexpr int ModeMultiply = 3;
constexpr int ModeOverlay = 4;
constexpr int ModeHsvAdjust = 5;
// 0xF0-0xFF: destination byte ((mode >> 2) & 3) = source byte (mode & 3).
constexpr int ModeChannelCopy = 0xF0;
constexpr int ModeUseSourceAlpha = 0x10000;

// Composites srcRect of src (whole src when null) with its top-left corner at
// (x, y) of dest. Nothing happens for missing bitmaps, alpha 0 or an empty clip.
void BlitBitmap(PIX_IBitmap* dest, PIX_IBitmap* src, int x, int y, const PIX_Rect* srcRect, float alpha, int mode);
