#pragma once
// What the editor must look like: the background with each control's frame
// for given normalised values composited over it, built here from the
// embedded artwork with the drawing library.
#include <array>
#include <string>

#include "rgba_image.h"

namespace vellox::test {

// Host parameter ids of the controls.
enum EditorParam { kFade = 0, kChop = 1, kDry = 2, kOutput = 3, kBy = 4, kSync = 5, kNote = 6 };
using EditorValues = std::array<double, 7>;  // normalised, by EditorParam
inline constexpr int kNoteEntries = 15;      // NOTE: 1/32 .. 4 bars, 1/4 by default
inline constexpr EditorValues kDefaultValues = {0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 8.0 / (kNoteEntries - 1)};

inline constexpr int kEditorWidth = 912;
inline constexpr int kEditorHeight = 376;

// The pattern panel below the top row; every test starts with its controls
// at their defaults (PATTERN off, STEPS 8, every step at 1, GATE 50 %).
inline constexpr int kStepBarsLeft = 190, kStepBarsTop = 196, kStepPitch = 26, kStepCount = 16;
inline constexpr int kStepBarWidth = 22, kStepBarHeight = 88, kStepFrames = 33;
inline constexpr int kStepParam1 = 9;  // host id of STEP 1; the others follow
// The cycle display draws the curve of FADE, CHOP and DRY: it is checked
// against the tool's snapshot, not composed here.
struct PanelBox {
  int left, top, right, bottom;
};
inline constexpr PanelBox kCycleBox = {622, 196, 892, 284};
// The level a step bar shows when the pointer is at row y inside it.
inline double StepLevelAtRow(int y) {
  const double level = double(kStepBarsTop + kStepBarHeight - 3 - y) / (kStepBarHeight - 6);
  return level < 0.0 ? 0.0 : (level > 1.0 ? 1.0 : level);
}

struct ControlRect {
  const char* name;
  EditorParam param;
  int artworkId;
  int frames;
  int left, top, right, bottom;
};
inline constexpr std::array<ControlRect, 7> kControlRects = {{
    {"BY", kBy, 104, 2, 91, 53, 152, 106},
    {"FADE", kFade, 103, 61, 191, 26, 294, 123},
    {"CHOP", kChop, 102, 61, 341, 26, 442, 123},
    {"DRY", kDry, 101, 61, 490, 26, 591, 123},
    {"OUTPUT", kOutput, 106, 61, 626, 40, 700, 113},
    {"SYNC", kSync, 107, 2, 738, 53, 799, 106},
    {"NOTE", kNote, 108, kNoteEntries, 818, 73, 890, 103},
}};
const ControlRect& RectOf(EditorParam param);

// Vertical offset of the frame a strip of `frames` frames, `height` pixels
// tall, shows for the normalised value v.
int FrameOffset(double v, int frames, int height);

// The whole editor for `values`; empty with `error` set when the artwork
// cannot be decoded.
bool ExpectedEditor(const EditorValues& values, host::RgbaImage& image, std::string& error);

// Pixels whose colour (alpha ignored) differs inside the rectangle, with the
// first one described in `first` when there is one.
int DifferingPixels(const host::RgbaImage& shown, const host::RgbaImage& expected, int left, int top, int right,
                    int bottom, std::string* first = nullptr);
int DifferingPixels(const host::RgbaImage& shown, const host::RgbaImage& expected, const ControlRect& rect,
                    std::string* first = nullptr);

}  // namespace vellox::test
