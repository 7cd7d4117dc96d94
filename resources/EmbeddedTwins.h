#pragma once

// Generated at build time (resources/CMakeLists.txt): for every embedded
// image, its bytes and those of its twin drawn at twice the resolution.
struct EmbeddedTwin {
  const unsigned char* data;    // the image's own bytes (the key)
  const unsigned char* data2x;  // the twin's PNG bytes
  int size2x;                   // byte count of data2x
  const char* path2x;           // the twin's loader path
};

extern const EmbeddedTwin kEmbeddedTwins[];
extern const int kEmbeddedTwinCount;
