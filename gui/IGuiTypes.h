#pragma once

#include <cstdint>

class PIX_IBitmap;
class PIX_IFont;

// A piece of decoded artwork as controls see it. The bitmap belongs to the
// process-wide artwork cache; a null bitmap means the artwork is missing and
// paints nothing.
struct IBitmapRef {
  PIX_IBitmap* bitmap = nullptr;
  int width = 0;   // whole strip
  int height = 0;  // whole strip
  int frameCount = 1;
  bool framesHorizontal = false;
  int id = 0;  // resource number it was loaded from; 0 when made otherwise
};

// A reference to a vertical strip of `frameCount` frames; a null bitmap gives
// the missing-artwork reference (zero size).
IBitmapRef BitmapRefOf(PIX_IBitmap* bitmap, int frameCount);

struct IArgbColor {
  int alpha = 255;
  int red = 0;
  int green = 0;
  int blue = 0;

  IArgbColor() = default;
  IArgbColor(int a, int r, int g, int b) : alpha(a), red(r), green(g), blue(b) {}

  uint32_t ToPixel() const {
    return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
  }
  bool operator==(const IArgbColor& o) const {
    return alpha == o.alpha && red == o.red && green == o.green && blue == o.blue;
  }
};

enum { TextAlignLeft = 0, TextAlignCentre = 1, TextAlignRight = 2 };
enum { kTextNormal = 0, kTextBold = 1, kTextItalic = 2 };

struct ITextStyle {
  char faceName[32] = "Verdana";
  int size = 12;
  IArgbColor colour{255, 0, 0, 0};
  IArgbColor entryBackground{255, 255, 255, 255};
  IArgbColor entryForeground{255, 0, 0, 0};
  int style = kTextNormal;
  int alignment = TextAlignCentre;
  int orientation = 0;              // whole degrees
  int quality = 0;                  // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
  PIX_IFont* cachedFont = nullptr;  // owned by the font cache
};

enum { kBlendAlpha = 0, kBlendReplace = 1, kBlendAdditive = 2, kBlendColourDodge = 3 };

struct IBlendSpec {
  int method = kBlendAlpha;
  float weight = 1.0f;

  IBlendSpec() = default;
  IBlendSpec(int m, float w) : method(m), weight(w) {}
};

// The drawing library's compositing mode word for a blend method; unknown
// methods composite with source alpha.
int BlendModeOf(int method);

struct IPointerMods {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;
};

// Key codes handed to controls: space, arrows, digits, letters.
using KeyCode = int;
enum : KeyCode {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,   // through kKeyDigit0 + 9
  kKeyLetterA = 15  // through kKeyLetterA + 25 ('Z')
};
