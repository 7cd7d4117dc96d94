// `vellox snapshot` end to end, through the same entry main() calls: under
// Wine the module's editor opens in a window; natively the built-in effect
// draws off-screen. Either way the picture must be the editor itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "CliRunner.h"
#include "cli.h"
#include "EditorChecks.h"
#include "ExpectedEditor.h"
#include "module_library.h"
#include "parameter_assignment.h"
#include "plugin_instance.h"

namespace vellox::test {
namespace {

std::string Artifact(const std::string& name) { return std::string(VELLOX_ARTIFACT_DIR) + "/" + name; }

class SnapshotCliTest : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    if (host::ModuleBinaryPath(VELLOX_BUNDLE_PATH, error).empty())
      GTEST_SKIP() << "the Vellox module is not built at " << VELLOX_BUNDLE_PATH;
  }

  // Runs the snapshot command into `name` and reads the picture back.
  host::RgbaImage Snapshot(const std::string& name, const std::vector<std::string>& settings) {
    std::vector<std::string> args = {"snapshot", "--out", Artifact(name), "--plugin", VELLOX_BUNDLE_PATH};
    for (const std::string& setting : settings) {
      args.push_back("--set");
      args.push_back(setting);
    }
    std::remove(Artifact(name).c_str());
    const CliResult r = RunVellox(args);
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string size = "editor " + std::to_string(kEditorWidth) + " x " + std::to_string(kEditorHeight);
    EXPECT_NE(r.out.find(size), std::string::npos) << r.out;
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(host::ReadPngFile(Artifact(name), image, error)) << error;
    return image;
  }

  host::RgbaImage Expected(const EditorValues& values) {
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(ExpectedEditor(values, image, error)) << error;
    return image;
  }
};

TEST_F(SnapshotCliTest, DefaultPictureIsTheEditorAtItsDefaults) {
  const host::RgbaImage shown = Snapshot("snapshot_default.png", {});
  ASSERT_EQ(shown.width, kEditorWidth);
  ASSERT_EQ(shown.height, kEditorHeight);
  // All but the cycle display, whose curve is the effect's own drawing.
  ExpectEditorShows(shown, kDefaultValues);
}

TEST_F(SnapshotCliTest, OutputSettingTurnsOnlyTheOutputKnob) {
  const host::RgbaImage low = Snapshot("snapshot_output_low.png", {"OUTPUT=-10"});
  const host::RgbaImage high = Snapshot("snapshot_output_high.png", {"OUTPUT=+10 dB"});
  ASSERT_EQ(low.width, kEditorWidth);
  ASSERT_EQ(high.height, kEditorHeight);
  const ControlRect& output = RectOf(kOutput);
  EXPECT_GT(DifferingPixels(low, high, output), 100);
  // Outside the knob both pictures are the same editor.
  const int total = DifferingPixels(low, high, 0, 0, kEditorWidth, kEditorHeight);
  EXPECT_EQ(total, DifferingPixels(low, high, output));

  EditorValues lowValues = kDefaultValues, highValues = kDefaultValues;
  lowValues[kOutput] = 0.0;
  highValues[kOutput] = 1.0;
  std::string first;
  EXPECT_EQ(DifferingPixels(low, Expected(lowValues), output, &first), 0) << first;
  EXPECT_EQ(DifferingPixels(high, Expected(highValues), output, &first), 0) << first;
}

TEST_F(SnapshotCliTest, EverySettingReachesItsControl) {
  const std::vector<std::string> settings = {"FADE=50", "CHOP=0.5", "DRY=0.5", "OUTPUT=-5", "BY=1", "SYNC=1", "NOTE=3"};
  const host::RgbaImage shown = Snapshot("snapshot_settings.png", settings);
  ASSERT_EQ(shown.width, kEditorWidth);
  // The normalised values come from the module's own controller, as a host would convert them.
  EditorValues values = kDefaultValues;
  std::string error;
  auto module = host::ModuleLibrary::Load(VELLOX_BUNDLE_PATH, error);
  ASSERT_TRUE(module) << error;
  auto instance = host::PluginInstance::Create(*module, error);
  ASSERT_TRUE(instance) << error;
  for (const std::string& setting : settings) {
    cli::ParameterAssignment assignment;
    ASSERT_TRUE(cli::ResolveAssignment(*instance->Controller(), setting, assignment, error)) << error;
    ASSERT_LT(assignment.id, values.size());
    values[assignment.id] = assignment.normalized;
  }
  EXPECT_DOUBLE_EQ(values[kOutput], 0.25);
  const host::RgbaImage expected = Expected(values);
  const host::RgbaImage defaults = Expected(kDefaultValues);
  for (const ControlRect& rect : kControlRects) {
    std::string first;
    EXPECT_GT(DifferingPixels(expected, defaults, rect), 0) << rect.name << " would look as at its default";
    EXPECT_EQ(DifferingPixels(shown, expected, rect, &first), 0) << rect.name << ": " << first;
  }
}

TEST_F(SnapshotCliTest, BadRequestsExplainThemselvesAndWriteNothing) {
  const std::string out = Artifact("snapshot_never.png");
  std::remove(out.c_str());
  const std::string plugin = VELLOX_BUNDLE_PATH;
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  } cases[] = {
      {{"snapshot", "--plugin", plugin}, 2, "needs --out"},
      {{"snapshot", "--out", out, "--zoom", "2"}, 2, "unknown option"},
      {{"snapshot", "--out", out, "--set", "OUTPUT"}, 2, "NAME=VALUE"},
      {{"snapshot", "--out", out, "--plugin", plugin, "--set", "WIDTH=1"}, 1, "unknown parameter"},
      {{"snapshot", "--out", out, "--plugin", plugin, "--set", "OUTPUT=11"}, 1, "out of range"},
      {{"snapshot", "--out", Artifact("missing-dir/editor.png"), "--plugin", plugin}, 1, "cannot write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult r = RunVellox(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(std::fopen(out.c_str(), "rb"), nullptr) << "a failed snapshot left a picture";
}

}  // namespace
}  // namespace vellox::test
