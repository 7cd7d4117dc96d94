#pragma once

// The editor artwork compiled into the program as byte arrays: the same PNG
// files that the Windows module carries as resources, for platforms without
// resources and for off-screen tests. Ids and paths are those of ArtworkIds.h;
// images stored once (StoredArtworkId) share their bytes under every number.

struct EmbeddedArtwork {
  int id;                     // resource number, 101..116 (2x twins: 201..216)
  const char* path;           // loader path, e.g. "resources/img/DRY.png"
  const unsigned char* data;  // the PNG file's bytes
  int size;                   // byte count of data
};

// The artwork with this resource number, or nullptr when there is none.
const EmbeddedArtwork* FindEmbeddedArtwork(int id);

// The PNG bytes of this resource number and their count in *size; nullptr
// (and *size = 0) when there is none. size may be null.
const unsigned char* EmbeddedArtworkBytes(int id, int* size);
