#pragma once

class PIX_IBitmap;
class PIX_IFont;

// Process-wide caches shared by every editor of the module. Each has its own
// lock, held only while searching or appending, never while decoding or
// creating; the entries live until the module is unloaded.
namespace ArtworkCache {
// The first cached bitmap for a resource id, or null.
PIX_IBitmap* Find(int id);
// Appends an entry (taking ownership) and returns the bitmap.
PIX_IBitmap* Add(int id, PIX_IBitmap* bitmap);
int Count();
}  // namespace ArtworkCache

namespace FontCache {
PIX_IFont* Find(int size, int orientation, int style, const char* faceName);
PIX_IFont* Add(int size, int orientation, int style, const char* faceName, PIX_IFont* font);
int Count();
}  // namespace FontCache
