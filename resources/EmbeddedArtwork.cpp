#include "EmbeddedArtwork.h"

// Generated from vellox_artwork.rc at build time: every image and every 2x
// twin, identical images sharing one array.
extern const EmbeddedArtwork kEmbeddedArtwork[];
extern const int kEmbeddedArtworkCount;

const EmbeddedArtwork* FindEmbeddedArtwork(int id) {
  for (int i = 0; i < kEmbeddedArtworkCount; ++i) {
    if (kEmbeddedArtwork[i].id == id) return &kEmbeddedArtwork[i];
  }
  return nullptr;
}

const unsigned char* EmbeddedArtworkBytes(int id, int* size) {
  const EmbeddedArtwork* artwork = FindEmbeddedArtwork(id);
  if (size) *size = artwork ? artwork->size : 0;
  return artwork ? artwork->data : nullptr;
}
