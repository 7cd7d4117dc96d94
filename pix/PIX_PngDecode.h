// The libpng decoding core shared by the memory and file loaders.
#pragma once

#include <cstdint>
#include <cstdio>

#include "PIX_Bitmap.h"

struct PIX_PngSource {
  const unsigned char* next;  // memory cursor, or null when reading file
  int left;
  FILE* file;
  int shortReads;  // memory reads the data could not fill; the first ends decoding
};

// Decodes into target (resized) or a new PIX_MemBitmap; null on any failure,
// with everything it allocated released. Does not close the file.
PIX_IBitmap* DecodePngSource(PIX_PngSource* source, PIX_IBitmap* target);

// A filmstrip may be stored with its frames side by side, which compresses far
// better than frames stacked: a private chunk of this type before the image
// data then holds the number of frames (4 bytes, most significant first).
// Decoding stacks them again, top to bottom, as the editor draws them.
constexpr char kPngStripChunk[5] = "stRP";

// The size of a width x height image of `frames` frames side by side, once
// stacked; false when they do not split the width or the result is too large.
bool StackedStripSize(uint32_t width, uint32_t height, uint32_t frames, int* stackedWidth, int* stackedHeight);
