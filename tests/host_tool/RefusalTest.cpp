// The tool against an effect that refuses its set-up or a block: the render
// fails with the tool's own one-line message and leaves no file behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "CliRunner.h"
#include "wav_io.h"

namespace vellox::test {
namespace {

TEST(RefusalTest, ARefusedSetUpOrBlockFailsTheRenderWithItsOwnMessage) {
  const ScratchDir scratch;
  const std::string out = scratch.File("out.wav");
  cli::AudioData shortInput;
  shortInput.sampleRate = 44100;
  shortInput.channels.assign(2, std::vector<double>(2000, 0.25));
  std::string error;
  ASSERT_TRUE(cli::WriteAudioFile(scratch.File("short.wav"), shortInput, error)) << error;

  const struct {
    std::vector<std::string> extra;
    int code;
    const char* message;
  } cases[] = {
      {{"--rate", "192000"}, 1, "the effect refused to run at 192000 Hz with 32-bit samples in blocks of up to 512"},
      {{"--rate", "44100"}, 1, "the effect refused to process the block of frames 2048 to 2559"},
      {{"--block", "1000"}, 1, "the effect refused to process the block of frames 3000 to 3999"},
      {{"--in", scratch.File("short.wav")}, 0, ""},  // it ends before the effect starts refusing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = {"render", "--out", out, "--plugin", VELLOX_REFUSING_MODULE};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliResult r = RunVellox(args);
    EXPECT_EQ(r.code, c.code) << r.err;
    if (c.code == 0) {
      EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"out.wav", "short.wav"}));
      continue;
    }
    EXPECT_EQ(r.err.rfind(std::string("vellox: error: ") + c.message, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{"short.wav"}) << "a refused render leaves no file";
  }
}

}  // namespace
}  // namespace vellox::test
