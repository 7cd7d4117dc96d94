// Walking UTF-8 text one character at a time, as the glyph cache draws it.
#pragma once

// A positive length limits the walk to that many bytes; any length ends at a
// NUL byte. Malformed sequences yield their lead byte's own code; sequences
// beyond 16 bits yield a space.
class PIX_Utf8Walk {
public:
  PIX_Utf8Walk(const char* text, int length)
      : mCursor((const unsigned char*)text), mLeft(length), mCounted(length >= 0) {}

  // Next character code, or -1 at the end.
  int Next() {
    if (!mCursor || (mCounted && mLeft <= 0) || *mCursor == 0) return -1;
    const int lead = *mCursor;
    int extra = 0, code = lead;
    if (lead >= 0xC2 && lead <= 0xDF)
      extra = 1, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
      extra = 2, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
      extra = 3;
    for (int i = 1; i <= extra; ++i) {
      const bool available = !mCounted || i < mLeft;
      if (!available || mCursor[i] < 0x80 || mCursor[i] > 0xBF) {
        extra = 0;
        code = lead;
        break;
      }
      if (lead < 0xF0) code = (code << 6) | (mCursor[i] & 0x3F);
    }
    if (extra == 3) code = 32;
    mCursor += 1 + extra;
    mLeft -= 1 + extra;
    return code;
  }

private:
  const unsigned char* mCursor;
  int mLeft;
  bool mCounted;
};

// True when the text holds at least one UTF-8 multi-byte sequence, which the
// native path must draw as UTF-16.
bool HasUtf8Sequence(const char* text, int length);
