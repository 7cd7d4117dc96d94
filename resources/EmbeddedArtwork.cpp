#include "EmbeddedArtwork.h"

#include "ArtworkIds.h"

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
  return nullptr;
}

const unsigned char* EmbeddedArtworkBytes(int id, int* size) {
  const EmbeddedArtwork* artwork = FindEmbeddedArtwork(id);
  if (size) *size = artwork ? artwork->size : 0;
  return artwork ? artwork->data : nullptr;
}
