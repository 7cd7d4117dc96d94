// PNG decoding into 32-bit straight-alpha bitmaps.
#pragma once

#include "PIX_Bitmap.h"

// Decodes a PNG held in memory; the caller owns the result. Null on any failure.
PIX_MemBitmap* LoadPngFromMemory(const void* data, int length);

// Decodes a PNG file (UTF-8 name) into target (resized) or, without one, into a
// new bitmap owned by the caller. Null on any failure.
PIX_IBitmap* LoadPngFromFile(const char* utf8Name, PIX_IBitmap* target = nullptr);

// A registered image file loader; records form a process-wide singly linked list.
struct ImageLoaderRecord {
  PIX_IBitmap* (*Load)(const char* utf8Name, bool checkExtension, PIX_IBitmap* target);
  // File-dialog filter pair: description, NUL, pattern (double-NUL terminated).
  const char* (*Description)();
  ImageLoaderRecord* next;
};

ImageLoaderRecord* ImageLoaderListHead();

// The PNG loader's registered load function: with checkExtension the name must
// end in ".png" (any case) or the result is null.
PIX_IBitmap* LoadPngCheckingExtension(const char* utf8Name, bool checkExtension, PIX_IBitmap* target);
