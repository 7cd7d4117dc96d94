#include "EmbeddedArtwork.h"

#include <vector>

#include "ArtworkIds.h"
#include "EmbeddedTwins.h"

// Defined by the sources generated from resources/img at build time.
extern const unsigned char kDryPng[];
extern const int kDryPngSize;
extern const unsigned char kChopPng[];
extern const int kChopPngSize;
extern const unsigned char kFadePng[];
extern const int kFadePngSize;
extern const unsigned char kByPng[];
extern const int kByPngSize;
extern const unsigned char kBgPng[];
extern const int kBgPngSize;
extern const unsigned char kOutPng[];
extern const int kOutPngSize;
extern const unsigned char kSyncPng[];
extern const int kSyncPngSize;
extern const unsigned char kNotePng[];
extern const int kNotePngSize;

namespace {
// The 2x twin of an image of the table, under its number plus kArtwork2xOffset.
const EmbeddedArtwork* FindTwin(int id, const EmbeddedArtwork* table, int count) {
  static const std::vector<EmbeddedArtwork> twins = [&] {
    std::vector<EmbeddedArtwork> list;
    for (int i = 0; i < count; ++i) {
      for (int k = 0; k < kEmbeddedTwinCount; ++k) {
        const EmbeddedTwin& twin = kEmbeddedTwins[k];
        if (twin.data == table[i].data)
          list.push_back({table[i].id + kArtwork2xOffset, twin.path2x, twin.data2x, twin.size2x});
      }
    }
    return list;
  }();
  for (const EmbeddedArtwork& artwork : twins) {
    if (artwork.id == id) return &artwork;
  }
  return nullptr;
}
}  // namespace

const EmbeddedArtwork* FindEmbeddedArtwork(int id) {
  // Built on first use, so callers from other static initialisers are safe.
  static const EmbeddedArtwork kArtwork[] = {
      {kArtworkDry, kArtworkDryPath, kDryPng, kDryPngSize},
      {kArtworkChop, kArtworkChopPath, kChopPng, kChopPngSize},
      {kArtworkFade, kArtworkFadePath, kFadePng, kFadePngSize},
      {kArtworkBy, kArtworkByPath, kByPng, kByPngSize},
      {kArtworkBackground, kArtworkBackgroundPath, kBgPng, kBgPngSize},
      {kArtworkOutput, kArtworkOutputPath, kOutPng, kOutPngSize},
      {kArtworkSync, kArtworkSyncPath, kSyncPng, kSyncPngSize},
      {kArtworkNote, kArtworkNotePath, kNotePng, kNotePngSize},
  };
  for (const EmbeddedArtwork& artwork : kArtwork) {
    if (artwork.id == id) return &artwork;
  }
  return FindTwin(id, kArtwork, int(sizeof kArtwork / sizeof kArtwork[0]));
}

const unsigned char* EmbeddedArtworkBytes(int id, int* size) {
  const EmbeddedArtwork* artwork = FindEmbeddedArtwork(id);
  if (size) *size = artwork ? artwork->size : 0;
  return artwork ? artwork->data : nullptr;
}
