#include <gtest/gtest.h>

#include <vector>

#include "PIX_Utf8.h"

namespace {
std::vector<int> Codes(const char* text, int length) {
  std::vector<int> out;
  PIX_Utf8Walk walk(text, length);
  for (int c; (c = walk.Next()) >= 0;) out.push_back(c);
  return out;
}
}  // namespace

TEST(Utf8Walk, DecodesUpToSixteenBits) {
  EXPECT_EQ(Codes("a\xC3\xA9z", -1), (std::vector<int>{'a', 0xE9, 'z'}));
  EXPECT_EQ(Codes("\xE2\x82\xAC", -1), (std::vector<int>{0x20AC}));
  EXPECT_EQ(Codes("\xEF\xBF\xBF", -1), (std::vector<int>{0xFFFF}));
}

TEST(Utf8Walk, FourByteSequencesBecomeSpaces) {
  EXPECT_EQ(Codes("a\xF0\x9F\x98\x80"
                  "b",
                  -1),
            (std::vector<int>{'a', ' ', 'b'}));
}

TEST(Utf8Walk, MalformedBytesStandForThemselves) {
  EXPECT_EQ(Codes("\xE9", -1), (std::vector<int>{0xE9}));
  EXPECT_EQ(Codes("\xC0\xAF", -1), (std::vector<int>{0xC0, 0xAF}));  // overlong lead
  EXPECT_EQ(Codes("\xC3"
                  "A",
                  -1),
            (std::vector<int>{0xC3, 'A'}));  // missing continuation
  EXPECT_EQ(Codes("\xE2\x82"
                  "A",
                  -1),
            (std::vector<int>{0xE2, 0x82, 'A'}));
  EXPECT_EQ(Codes("\xF5\x80", -1), (std::vector<int>{0xF5, 0x80}));
}

TEST(Utf8Walk, LengthAndNulEndTheWalk) {
  EXPECT_EQ(Codes("abc", 2), (std::vector<int>{'a', 'b'}));
  EXPECT_EQ(Codes("ab\0c", 4), (std::vector<int>{'a', 'b'}));
  EXPECT_EQ(Codes("abc", 0), (std::vector<int>{}));
  // A sequence cut by the length is not completed from the bytes beyond it.
  EXPECT_EQ(Codes("\xC3\xA9", 1), (std::vector<int>{0xC3}));
  EXPECT_EQ(Codes(nullptr, -1), (std::vector<int>{}));
}

TEST(Utf8Walk, DetectsMultiByteSequences) {
  EXPECT_FALSE(HasUtf8Sequence("plain ascii", -1));
  EXPECT_FALSE(HasUtf8Sequence("\xE9t\xE9", -1));  // Latin-1 bytes only
  EXPECT_TRUE(HasUtf8Sequence("caf\xC3\xA9", -1));
  EXPECT_TRUE(HasUtf8Sequence("\xE2\x82\xAC", -1));
  EXPECT_TRUE(HasUtf8Sequence("\xF0\x9F\x98", -1));
  EXPECT_FALSE(HasUtf8Sequence("caf\xC3\xA9", 4));  // the pair is cut off
  EXPECT_FALSE(HasUtf8Sequence(nullptr, -1));
}
