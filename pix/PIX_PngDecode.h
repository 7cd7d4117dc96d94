// The libpng decoding core shared by the memory and file loaders.
#pragma once

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
