#include "ExpectedEditor.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "EmbeddedArtwork.h"
#include "PIX_Blit.h"
#include "PIX_Png.h"

namespace vellox::test {

namespace {

constexpr int kBackgroundId = 105;

struct PanelPiece {
  int artworkId, frames, left, top, width, height;
  double value;
};
// The pattern panel's controls at their defaults, the first program loaded.
constexpr PanelPiece kPanelPieces[] = {
    {110, 2, 190, 296, 61, 53, 0.0},           // PATTERN off
    {111, 16, 275, 307, 72, 30, 7.0 / 15.0},   // STEPS 8
    {112, 61, 371, 299, 48, 48, 45.0 / 95.0},  // GATE 50 %
    {113, 61, 445, 299, 48, 48, 0.0},          // SWING 0 %
    {114, 61, 519, 299, 48, 48, 0.0},          // OFFSET 0 %
    {115, 2, 591, 296, 61, 53, 0.0},           // RETRIG off
    {116, 13, 20, 206, 130, 26, 0.0},          // the first program's name
};
constexpr int kStepArtworkId = 109;
constexpr int kDefaultSteps = 8;
constexpr float kDimmedWeight = 0.35f;

std::unique_ptr<PIX_MemBitmap> DecodeArtwork(int id, std::string& error) {
  int size = 0;
  const unsigned char* bytes = EmbeddedArtworkBytes(id, &size);
  std::unique_ptr<PIX_MemBitmap> bitmap(bytes ? LoadPngFromMemory(bytes, size) : nullptr);
  if (!bitmap) error = "artwork " + std::to_string(id) + " cannot be decoded";
  return bitmap;
}

}  // namespace

const ControlRect& RectOf(EditorParam param) {
  for (const ControlRect& rect : kControlRects)
    if (rect.param == param) return rect;
  return kControlRects[0];
}

int FrameOffset(double v, int frames, int height) {
  int i = static_cast<int>(std::trunc((frames - 1) * v + 0.5)) + 1;
  if (i < 1) i = 1;
  if (i > frames) i = frames;
  if (frames <= 1 || i == 1) return 0;
  return static_cast<int>(std::trunc(static_cast<double>(height) * (i - 1) / frames + 0.5));
}

bool ExpectedEditor(const EditorValues& values, host::RgbaImage& image, std::string& error) {
  std::unique_ptr<PIX_MemBitmap> background = DecodeArtwork(kBackgroundId, error);
  if (!background) return false;
  PIX_MemBitmap surface;
  surface.SetSize(kEditorWidth, kEditorHeight);
  BlitBitmap(&surface, background.get(), 0, 0, nullptr, 1.0f, ModeCopy);
  for (const ControlRect& rect : kControlRects) {
    std::unique_ptr<PIX_MemBitmap> strip = DecodeArtwork(rect.artworkId, error);
    if (!strip) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (strip->Width() != width || strip->Height() != height * rect.frames) {
      error = std::string("artwork of ") + rect.name + " does not fit its rectangle";
      return false;
    }
    const int offset = FrameOffset(values[rect.param], rect.frames, strip->Height());
    const PIX_Rect frame{0, offset, width, offset + height};
    BlitBitmap(&surface, strip.get(), rect.left, rect.top, &frame, 1.0f, ModeUseSourceAlpha | ModeCopy);
  }
  std::unique_ptr<PIX_MemBitmap> bar = DecodeArtwork(kStepArtworkId, error);
  if (!bar) return false;
  const int fullLevel = FrameOffset(1.0, kStepFrames, bar->Height());
  for (int k = 0; k < kStepCount; ++k) {
    const PIX_Rect frame{0, fullLevel, kStepBarWidth, fullLevel + kStepBarHeight};
    BlitBitmap(&surface, bar.get(), kStepBarsLeft + k * kStepPitch, kStepBarsTop, &frame,
               k < kDefaultSteps ? 1.0f : kDimmedWeight, ModeUseSourceAlpha | ModeCopy);
  }
  for (const PanelPiece& piece : kPanelPieces) {
    std::unique_ptr<PIX_MemBitmap> strip = DecodeArtwork(piece.artworkId, error);
    if (!strip) return false;
    const int offset = FrameOffset(piece.value, piece.frames, strip->Height());
    const PIX_Rect frame{0, offset, piece.width, offset + piece.height};
    BlitBitmap(&surface, strip.get(), piece.left, piece.top, &frame, 1.0f, ModeUseSourceAlpha | ModeCopy);
  }
  image.Resize(kEditorWidth, kEditorHeight);
  for (int y = 0; y < kEditorHeight; ++y) {
    const PixelWord* row = surface.PixelBits() + static_cast<size_t>(y) * static_cast<size_t>(surface.RowSpan());
    for (int x = 0; x < kEditorWidth; ++x) {
      uint8_t* out = &image.pixels[(static_cast<size_t>(y) * kEditorWidth + static_cast<size_t>(x)) * 4];
      out[0] = static_cast<uint8_t>(row[x] >> 16);
      out[1] = static_cast<uint8_t>(row[x] >> 8);
      out[2] = static_cast<uint8_t>(row[x]);
      out[3] = static_cast<uint8_t>(row[x] >> 24);
    }
  }
  return true;
}

int DifferingPixels(const host::RgbaImage& shown, const host::RgbaImage& expected, int left, int top, int right,
                    int bottom, std::string* first) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const bool inside = x < shown.width && y < shown.height && x < expected.width && y < expected.height;
      if (inside && shown.Rgb(x, y) == expected.Rgb(x, y)) continue;
      if (count++ == 0 && first) {
        char text[96];
        std::snprintf(text, sizeof text, "first at (%d, %d): shown %06X, expected %06X", x, y,
                      inside ? shown.Rgb(x, y) : 0u, inside ? expected.Rgb(x, y) : 0u);
        *first = text;
      }
    }
  }
  return count;
}

int DifferingPixels(const host::RgbaImage& shown, const host::RgbaImage& expected, const ControlRect& rect,
                    std::string* first) {
  return DifferingPixels(shown, expected, rect.left, rect.top, rect.right, rect.bottom, first);
}

}  // namespace vellox::test
