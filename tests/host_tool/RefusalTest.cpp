// The tool against an effect that refuses its set-up or a block: the render
// fails with the tool's own one-line message and leaves no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "CliRunner.h"

namespace vellox::test {
namespace {

TEST(RefusalTest, ARefusedSetUpOrBlockFailsTheRenderWithItsOwnMessage) {
  const ScratchDir scratch;
  const struct {
    const char* rate;
    const char* message;
  } cases[] = {
      {"192000", "the effect refused to run at 192000 Hz with 32-bit samples in blocks of up to 512"},
      {"44100", "the effect refused to process the block of frames 2048 to 2559"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult r =
        RunVellox({"render", "--out", scratch.File("out.wav"), "--plugin", VELLOX_REFUSING_MODULE, "--rate", c.rate});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.err.rfind(std::string("vellox: error: ") + c.message, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{}) << "a refused render leaves no file";
  }
}

// Also without a display, a module with no editor is refused, not stood in for.
TEST(RefusalTest, ASnapshotOfAPlugInWithoutAnEditorFailsAndWritesNothing) {
  const ScratchDir scratch;
#ifndef _WIN32
  unsetenv("DISPLAY");  // the X11 tests run in programs of their own
#endif
  const CliResult r = RunVellox({"snapshot", "--out", scratch.File("editor.png"), "--plugin", VELLOX_REFUSING_MODULE});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.err, "vellox: error: the effect offers no editor\n");
  EXPECT_EQ(scratch.Names(), std::vector<std::string>{}) << "a refused snapshot leaves no file";
}

}  // namespace
}  // namespace vellox::test
