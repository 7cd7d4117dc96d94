// The pattern panel's live parts in the module's X11 editor: the playhead
// following the audio the host processes, and the program buttons.
#include <cmath>
#include <cstdlib>

#include "X11EditorFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

using X11PatternPanelTest = X11EditorTest;

constexpr Vst::ParamID kPatternId = 7;
constexpr Vst::ParamID kProgramId = 0x70727374;
constexpr uint32_t kPlayheadRgb = 0xF4F5F7;
constexpr double kRate = 44100.0;             // the host library's default
constexpr double kChopFrames = 0.22 * kRate;  // CHOP's default cycle, 9702 frames

// The playhead's column in the display at scale 1, or -1: it alone reaches
// the display's top row.
int DrawnPlayhead(const host::RgbaImage& image) {
  int found = -1;
  for (int x = kCycleBox.left; x < kCycleBox.right; ++x)
    if (image.Rgb(x, kCycleBox.top) == kPlayheadRgb) found = found < 0 ? x - kCycleBox.left : -2;
  return found;
}

// Where the audio is after `frames` frames of the free cycle with the pattern
// on: its positions run half a frame behind the cycle's line.
int PlayheadFor(double frames) {
  const int width = kCycleBox.right - kCycleBox.left;
  const double phase = std::fmod(frames + 0.5, kChopFrames) / kChopFrames;
  return int(phase * width);
}

host::RgbaImage ToolSnapshot(const std::string& name, const std::vector<std::string>& settings) {
  const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/" + name;
  std::string command = "env -u DISPLAY '" VELLOX_TOOL_PATH "' snapshot --out '" + out + "'";
  for (const std::string& s : settings) command += " --set '" + s + "'";
  host::RgbaImage image;
  EXPECT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
  std::string error;
  EXPECT_TRUE(host::ReadPngFile(out, image, error)) << error;
  return image;
}

TEST_F(X11PatternPanelTest, ThePlayheadFollowsTheProcessedAudioAndStaysWhenItStops) {
  IPtr<IPlugView> view = OpenView();
  EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks()), -1) << "a playhead before any audio";

  Automate(kPatternId, 1.0);
  double frames = kBlockFrames;
  EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(1)), PlayheadFor(frames));

  for (int blocks : {40, 1, 77, 150}) {
    SCOPED_TRACE(blocks);
    for (int i = 0; i < blocks; ++i) Automate(kPatternId, 1.0);
    frames += double(blocks) * kBlockFrames;
    EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(1)), PlayheadFor(frames));
    // No audio: it stays put, tick after tick.
    EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(3)), PlayheadFor(frames));
  }
  EXPECT_TRUE(handler_.events.empty()) << "the playhead made an edit: " << handler_.events.front();
  CloseView(view);
}

TEST_F(X11PatternPanelTest, ProgramButtonsStepThroughTheBankAndHostChangesShowAtOnce) {
  IPtr<IPlugView> view = OpenView();
  CaptureAfterTicks(1);
  const double last = 12.0;
  Click(120, 251);  // next
  EXPECT_EQ(handler_.events, (Events{Begin(kProgramId), Perform(kProgramId, 1.0 / last), End(kProgramId)}));
  // The host hands the edit on to the audio, as the first block of the tool's picture.
  Automate(kProgramId, 1.0 / last);
  std::string first;
  host::RgbaImage shown = CaptureAfterTicks();
  SaveArtifact(shown, "x11_program_next.png");
  EXPECT_EQ(DifferingPixels(shown, ToolSnapshot("program_1.png", {"Preset=Straight 8ths"}), 0, 0, kEditorWidth,
                            kEditorHeight, &first),
            0)
      << first;

  handler_.events.clear();
  Loop().RunFor(450);
  Click(50, 251);  // previous, twice: round to the last program
  Loop().RunFor(450);
  Click(50, 251);
  EXPECT_EQ(handler_.events, (Events{Begin(kProgramId), Perform(kProgramId, 0.0), End(kProgramId), Begin(kProgramId),
                                     Perform(kProgramId, 1.0), End(kProgramId)}));

  // A program change from the host shows at once, with no edit back.
  handler_.events.clear();
  Automate(kProgramId, 5.0 / last);
  shown = CaptureAfterTicks();
  EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
  const host::RgbaImage program5 = ToolSnapshot("program_5.png", {"Preset=Half-time pump"});
  const PanelBox name = {20, 206, 150, 232};
  EXPECT_EQ(DifferingPixels(shown, program5, name.left, name.top, name.right, name.bottom, &first), 0) << first;
  CloseView(view);
}

}  // namespace
}  // namespace vellox::test
