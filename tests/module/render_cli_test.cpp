// The `vellox` command line end to end: the same entry main() calls.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "audio_data.h"
#include "../support/cli_runner.h"
#include "cli.h"
#include "demo_signal.h"
#include "module_fixture.h"
#include "wav_io.h"

namespace vellox::test {
namespace {

std::string TempFile(const std::string& name) { return testing::TempDir() + "vellox_cli_" + name; }

class RenderCliTest : public ModuleTest {};

TEST_F(RenderCliTest, DemoRenderWritesTheWholeDemo) {
  const std::string out = TempFile("demo.wav");
  std::remove(out.c_str());
  const CliResult r = RunVellox({"render", "--out", out, "--plugin", BundlePath(), "--set", "OUTPUT=-3 dB"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("rendered 176400 frames at 44100 Hz, 2 channels"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("peak out:"), std::string::npos);
  cli::AudioData audio;
  std::string error;
  ASSERT_TRUE(cli::ReadAudioFile(out, audio, error)) << error;
  EXPECT_EQ(audio.sampleRate, 44100.0);
  EXPECT_EQ(audio.channels.size(), 2u);
  EXPECT_EQ(audio.Frames(), 176400u);
  EXPECT_GT(cli::PeakLevel(audio), 0.01);
  EXPECT_LT(cli::PeakLevel(audio), cli::PeakLevel(cli::MakeDemoSignal(44100.0)));
  std::remove(out.c_str());
}

TEST_F(RenderCliTest, DemoFollowsTheRequestedRateIn64Bit) {
  const std::string out = TempFile("demo48k.wav");
  const CliResult r = RunVellox(
      {"render", "--out", out, "--plugin", BundlePath(), "--rate", "48000", "--precision", "64", "--block", "100"});
  ASSERT_EQ(r.code, 0) << r.err;
  cli::AudioData audio;
  std::string error;
  ASSERT_TRUE(cli::ReadAudioFile(out, audio, error)) << error;
  EXPECT_EQ(audio.sampleRate, 48000.0);
  EXPECT_EQ(audio.Frames(), 192000u);
  std::remove(out.c_str());
}

TEST_F(RenderCliTest, BypassedMonoFileComesBackUnchanged) {
  const std::string in = TempFile("mono_in.wav"), out = TempFile("mono_out.wav");
  cli::AudioData source;
  source.sampleRate = 22050;
  source.channels.assign(1, std::vector<double>(5000));
  for (size_t i = 0; i < 5000; ++i) source.channels[0][i] = static_cast<float>(0.5 * std::sin(0.01 * i));
  std::string error;
  ASSERT_TRUE(cli::WriteAudioFile(in, source, error)) << error;
  const CliResult r = RunVellox({"render", "--in", in, "--out", out, "--plugin", BundlePath(), "--bypass"});
  ASSERT_EQ(r.code, 0) << r.err;
  cli::AudioData result;
  ASSERT_TRUE(cli::ReadAudioFile(out, result, error)) << error;
  EXPECT_EQ(result.sampleRate, 22050.0);
  ASSERT_EQ(result.channels.size(), 1u);
  EXPECT_EQ(result.channels[0], source.channels[0]);
  std::remove(in.c_str());
  std::remove(out.c_str());
}

TEST_F(RenderCliTest, ErrorsExplainThemselvesAndFail) {
  const std::string out = TempFile("never.wav");
  const std::string plugin = BundlePath();
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  } cases[] = {
      {{"render", "--out", out, "--plugin", plugin + ".missing"}, 1, "plug-in not found"},
      {{"render", "--in", TempFile("absent.wav"), "--out", out, "--plugin", plugin}, 1, "cannot read"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "WIDTH=3"}, 1, "unknown parameter \"WIDTH\""},
      {{"render", "--out", out, "--plugin", plugin, "--set", "output=12"}, 1, "out of range: it takes -10 to 10 dB"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "CHOP=0.1"}, 1, "out of range"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "FADE=fast"}, 1, "is not a number"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "FADE"}, 2, "NAME=VALUE"},
      {{"render", "--plugin", plugin}, 2, "needs --out"},
      {{"render", "--out", out, "--precision", "48"}, 2, "--precision"},
      {{"render", "--out", out, "--block", "0"}, 2, "--block"},
      {{"render", "--out", out, "--loud"}, 2, "unknown option"},
      {{"mix"}, 2, "unknown command"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult r = RunVellox(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("vellox: error: "), std::string::npos) << r.err;
  }
  EXPECT_EQ(std::fopen(out.c_str(), "rb"), nullptr) << "a failed render left an output file";
}

TEST_F(RenderCliTest, InfoShowsTheModuleAsAHostSeesIt) {
  const CliResult r = RunVellox({"info", "--plugin", BundlePath()});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* text : {"Quenwick", "0DE7AEF2DE004E4F516E776B564C5831", "Audio Module Class", "VST 3.6.12",
                           "parameters: 7", "0x62706173", "OUTPUT", "Root Unit", "Factory Presets", "\"-\""})
    EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
}

}  // namespace
}  // namespace vellox::test
