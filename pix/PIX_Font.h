// Text drawing into bitmaps. PIX_IFont is the portable interface; the only
// implementation, PIX_CachedFont, wraps a GDI font and exists on Windows only.
// Handles are passed as void* (HFONT) so this header stays free of windows.h.
#pragma once

#include <cstdint>

#include "PIX_Bitmap.h"

class PIX_SysBitmap;

// Font flags for AttachFontHandle.
constexpr int FontVertical = 0x1;
constexpr int FontBottomUp = 0x2;       // with FontVertical: text reads upwards
constexpr int FontPrecacheAscii = 0x4;  // render 0-127 up front, nothing else
constexpr int FontBlur = 0x10;
constexpr int FontInvert = 0x20;
constexpr int FontMono = 0x40;
constexpr int FontShadow = 0x80;
constexpr int FontOutline = 0x100;
constexpr int FontOwnsHandle = 0x200;
constexpr int FontNativeText = 0x400;

// Format flags for RenderText: the Win32 DT_* bits plus these two.
constexpr uint32_t TextAlphaFromColour = 0x40000000u;
constexpr uint32_t TextForceGlyphCache = 0x80000000u;

class PIX_IFont {
public:
  virtual ~PIX_IFont() {}
  virtual void AttachFontHandle(void* fontHandle, int fontFlags) = 0;
  virtual PixelWord ChangeTextColour(PixelWord colour) = 0;
  virtual PixelWord ChangeBackColour(PixelWord colour) = 0;
  virtual PixelWord ChangeEffectColour(PixelWord colour) = 0;
  // 1 transparent, 2 opaque.
  virtual int ChangeBackMode(int mode) = 0;
  virtual void ChangeBlend(int mode, float alpha) = 0;
  // Draws (or with DT_CALCRECT measures) UTF-8 text; length < 0 means up to the NUL.
  virtual int RenderText(PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect, uint32_t format) = 0;
  virtual PixelWord CurrentTextColour() = 0;
  virtual void* FontHandle() = 0;
  virtual int LineHeight() = 0;
};

// Creates a system font: style 0 normal, 1 bold, 2 italic; quality 0..3 from
// default to the smoothest. Returns null where there is no text renderer.
PIX_IFont* CreateSystemFont(const char* face, int height, int orientationDegrees, int style, int quality);

#ifdef _WIN32

struct GlyphRecord {
  int32_t offset;  // data offset + 1; 0 not rendered yet, -1 empty or failed
  int32_t width;
  int32_t height;
  int32_t advance;
  uint32_t code;
  int32_t bearing;  // pixels the mask starts left of the pen
};
static_assert(sizeof(GlyphRecord) == 24, "glyph records are 24 bytes");

class PIX_CachedFont : public PIX_IFont {
public:
  PIX_CachedFont();
  ~PIX_CachedFont() override;
  PIX_CachedFont(const PIX_CachedFont&) = delete;
  PIX_CachedFont& operator=(const PIX_CachedFont&) = delete;

  void AttachFontHandle(void* fontHandle, int fontFlags) override;
  PixelWord ChangeTextColour(PixelWord colour) override;
  PixelWord ChangeBackColour(PixelWord colour) override;
  PixelWord ChangeEffectColour(PixelWord colour) override;
  int ChangeBackMode(int mode) override;
  void ChangeBlend(int mode, float alpha) override;
  int RenderText(PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect, uint32_t format) override;
  PixelWord CurrentTextColour() override { return mTextColour; }
  void* FontHandle() override { return mFont; }
  int LineHeight() override { return mLineHeight; }
  virtual bool RenderGlyph(PIX_IBitmap* bm, int code, int x, int y, const PIX_Rect* clip);

  // Renders one character into the cache; false when it cannot be cached.
  bool CacheGlyph(int code);
  // The cached record for code, or null when none exists.
  const GlyphRecord* FindGlyph(int code) const;
  void SetExtraLineSpacing(int pixels) { mExtraSpacing = pixels; }

  // Process-wide state shared by all fonts.
  static PIX_SysBitmap* GlyphSurface;
  static PIX_SysBitmap* TextScratchSurface;
  static int LiveFontCount;
  static int WineDetectedFlag;  // -1 not yet read, 0 no, 1 running under Wine

private:
  GlyphRecord* LookupGlyph(int code, bool create);
  const GlyphRecord* ReadyGlyph(int code);
  void EmptyCache();
  bool UseNativePath(PIX_IBitmap* bm, uint32_t format);
  int MeasureCached(const char* text, int length, PIX_Rect* rect, uint32_t format);
  int DrawCached(PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect, uint32_t format);
  void CompositeMask(PIX_IBitmap* bm, const GlyphRecord& rec, int x, int y, const PIX_Rect& area);

  PixelWord mTextColour = 0;
  PixelWord mBackColour = 0xFFFFFFFF;
  PixelWord mEffectColour = 0xFFFFFFFF;
  int mBackMode = 1;
  int mBlendMode = 0;
  float mAlpha = 1.0f;
  int mFontFlags = 0;
  int mLineHeight = 0;
  int mExtraSpacing = 0;
  GlyphRecord mAscii[128];
  unsigned char* mExtTable = nullptr;    // GlyphRecord entries for codes >= 128, sorted
  int mExtSize = 0, mExtCapacity = 0;    // bytes
  unsigned char* mGlyphData = nullptr;   // coverage masks back to back
  int mDataSize = 0, mDataCapacity = 0;  // bytes
  void* mFont = nullptr;                 // HFONT
};

#endif  // _WIN32
