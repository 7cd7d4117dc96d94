#pragma once

#include <cstdint>

// What the editor expects of each artwork image: resource number, loader path,
// file name in the resource script, image size and frame count.
struct ExpectedArtwork {
  int id;
  const char* path;
  const char* scriptFile;
  uint32_t width;
  uint32_t height;
  int frames;
};

extern const ExpectedArtwork kExpectedArtwork[16];
