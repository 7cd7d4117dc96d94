#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ArtworkIds.h"
#include "ArtworkTable.h"
#include "EmbeddedArtwork.h"

TEST(EmbeddedArtwork, HoldsEveryImageUnderItsIdAndPath) {
  for (const ExpectedArtwork& expected : kExpectedArtwork) {
    SCOPED_TRACE(expected.path);
    const EmbeddedArtwork* artwork = FindEmbeddedArtwork(expected.id);
    ASSERT_NE(artwork, nullptr);
    EXPECT_EQ(artwork->id, expected.id);
    EXPECT_STREQ(artwork->path, expected.path);
    ASSERT_GT(artwork->size, 8);
    EXPECT_EQ(std::memcmp(artwork->data, "\x89PNG\r\n\x1a\n", 8), 0);

    int size = -1;
    EXPECT_EQ(EmbeddedArtworkBytes(expected.id, &size), artwork->data);
    EXPECT_EQ(size, artwork->size);
    EXPECT_EQ(EmbeddedArtworkBytes(expected.id, nullptr), artwork->data);
  }
}

TEST(EmbeddedArtwork, UnknownIdsFindNothing) {
  for (int id : {0, -1, 100, 117, 1000}) {
    EXPECT_EQ(FindEmbeddedArtwork(id), nullptr) << id;
    int size = 123;
    EXPECT_EQ(EmbeddedArtworkBytes(id, &size), nullptr) << id;
    EXPECT_EQ(size, 0) << id;
  }
}

TEST(EmbeddedArtwork, IdConstantsMatchTheEditorTable) {
  const int ids[] = {kArtworkDry,        kArtworkChop,   kArtworkFade, kArtworkBy,
                     kArtworkBackground, kArtworkOutput, kArtworkSync, kArtworkNote};
  const char* paths[] = {kArtworkDryPath,        kArtworkChopPath,   kArtworkFadePath, kArtworkByPath,
                         kArtworkBackgroundPath, kArtworkOutputPath, kArtworkSyncPath, kArtworkNotePath};
  const int frames[] = {kArtworkKnobFrames,       kArtworkKnobFrames, kArtworkKnobFrames,   kArtworkSwitchFrames,
                        kArtworkBackgroundFrames, kArtworkKnobFrames, kArtworkSwitchFrames, kArtworkNoteFrames};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(ids[i], kExpectedArtwork[i].id);
    EXPECT_EQ(std::string(paths[i]), kExpectedArtwork[i].path);
    EXPECT_EQ(frames[i], kExpectedArtwork[i].frames);
  }
}
