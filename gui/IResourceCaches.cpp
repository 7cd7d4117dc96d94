#include "IResourceCaches.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "../pix/PIX_Bitmap.h"
#include "../pix/PIX_Font.h"

namespace {

struct ArtworkEntry {
  int id;
  std::unique_ptr<PIX_IBitmap> bitmap;
};

struct FontEntry {
  int size;
  int orientation;
  int style;
  char faceName[36];
  std::unique_ptr<PIX_IFont> font;
};

// Function-local statics: constructed on first use, destroyed (with every
// bitmap and font) when the module is unloaded.
template <typename Entry>
struct Cache {
  std::mutex lock;
  std::vector<Entry> entries;

  static Cache& Instance() {
    static Cache cache;
    return cache;
  }
};

}  // namespace

PIX_IBitmap* ArtworkCache::Find(int id) {
  auto& cache = Cache<ArtworkEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const ArtworkEntry& e : cache.entries)
    if (e.id == id) return e.bitmap.get();
  return nullptr;
}

PIX_IBitmap* ArtworkCache::Add(int id, PIX_IBitmap* bitmap) {
  auto& cache = Cache<ArtworkEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  cache.entries.push_back(ArtworkEntry{id, std::unique_ptr<PIX_IBitmap>(bitmap)});
  return bitmap;
}

int ArtworkCache::Count() {
  auto& cache = Cache<ArtworkEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  return int(cache.entries.size());
}

PIX_IFont* FontCache::Find(int size, int orientation, int style, const char* faceName) {
  auto& cache = Cache<FontEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const FontEntry& e : cache.entries)
    if (e.size == size && e.orientation == orientation && e.style == style &&
        std::strncmp(e.faceName, faceName, sizeof e.faceName) == 0)
      return e.font.get();
  return nullptr;
}

PIX_IFont* FontCache::Add(int size, int orientation, int style, const char* faceName, PIX_IFont* font) {
  FontEntry entry{size, orientation, style, {}, std::unique_ptr<PIX_IFont>(font)};
  std::strncpy(entry.faceName, faceName, sizeof entry.faceName - 1);
  auto& cache = Cache<FontEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  cache.entries.push_back(std::move(entry));
  return font;
}

int FontCache::Count() {
  auto& cache = Cache<FontEntry>::Instance();
  std::lock_guard<std::mutex> hold(cache.lock);
  return int(cache.entries.size());
}
