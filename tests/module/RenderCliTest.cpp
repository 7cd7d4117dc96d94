// The `vellox` command line end to end: the same entry main() calls.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "audio_data.h"
#include "audio_format.h"
#include "CliRunner.h"
#include "cli.h"
#include "demo_signal.h"
#include "ModuleFixture.h"
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
      {{"render", "--out", out, "--plugin", plugin, "--set", "WIDTH=3"}, 2, "unknown parameter \"WIDTH\""},
      {{"render", "--out", out, "--plugin", plugin, "--set", "output=12"}, 2, "out of range: it takes -10 to 10 dB"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "CHOP=0.1"}, 2, "out of range"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "FADE=fast"}, 2, "is not a number"},
      {{"render", "--out", out, "--plugin", plugin, "--format", "8"}, 2, "--format takes 16, 24, 32 or float"},
      {{"render", "--out", TempFile("never.mp9"), "--plugin", plugin}, 2, "cannot tell the output format"},
      {{"render", "--out", TempFile("never.flac"), "--plugin", plugin, "--format", "float"}, 2, "FLAC"},
      {{"render", "--out", TempFile("never.ogg"), "--plugin", plugin, "--format", "16"}, 2, "Ogg"},
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
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "errors are one line: " << r.err;
  }
  EXPECT_EQ(std::fopen(out.c_str(), "rb"), nullptr) << "a failed render left an output file";
}

TEST_F(RenderCliTest, InfoShowsTheModuleAsAHostSeesIt) {
  const CliResult r = RunVellox({"info", "--plugin", BundlePath()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.rfind("plug-in " + BundlePath() + " (named by --plugin)\n", 0), 0u) << r.out;
  // The class id's bytes in the platform's TUID order.
#ifdef _WIN32
  const char* cidBytes = "0DE7AEF2DE004E4F516E776B564C5831";
#else
  const char* cidBytes = "F2AEE70D00DE4F4E516E776B564C5831";
#endif
  for (const char* text : {"Quenwick", cidBytes, "Audio Module Class", "VST 3.6.12", "parameters: 7", "0x62706173",
                           "OUTPUT", "Root Unit", "Factory Presets", "\"-\""})
    EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
}

}  // namespace
}  // namespace vellox::test

namespace vellox::test {
namespace {

std::string PartialFile(const std::string& name) { return testing::TempDir() + "vellox_fmt_" + name; }

[[maybe_unused]] bool FileExists(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

// A bypassed render is a copy, so whatever comes back differs from the input
// only by the output format's quantisation.
struct FormatCase {
  const char* extension;
  const char* format;  // --format, or "" for the default
  double tolerance;    // largest allowed sample error
};

class RenderFormatTest : public ModuleTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(RenderFormatTest, BypassedRenderKeepsChannelsRateAndSamplesWithinTheFormatsResolution) {
  const FormatCase c = GetParam();
  cli::OutputFormat format;
  std::string error;
  const std::string out = PartialFile(std::string("out.") + c.extension);
  if (!cli::ChooseOutputFormat(out, c.format, format, error)) {
    // Only a build without libsndfile may refuse, and only non-WAV files, as a usage error.
    ASSERT_FALSE(cli::CodecWrites(format.container)) << error;
    const CliResult r = RunVellox({"render", "--out", out, "--plugin", BundlePath(), "--format", c.format});
    EXPECT_EQ(r.code, 2) << r.err;
    GTEST_SKIP() << "this build does not write ." << c.extension;
  }
  const std::string in = PartialFile("in.wav");
  cli::AudioData source;
  source.sampleRate = 32000;
  source.channels.assign(2, std::vector<double>(4000));
  for (size_t i = 0; i < 4000; ++i) {
    source.channels[0][i] = 0.9 * std::sin(0.013 * static_cast<double>(i));
    source.channels[1][i] = 0.5 * std::cos(0.021 * static_cast<double>(i));
  }
  ASSERT_TRUE(cli::WriteAudioFile(in, source, error)) << error;
  std::vector<std::string> args = {"render", "--in", in, "--out", out, "--plugin", BundlePath(), "--bypass"};
  if (*c.format) args.insert(args.end(), {"--format", c.format});
  const CliResult r = RunVellox(args);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(cli::DescribeFormat(format)), std::string::npos) << r.out;

  cli::AudioData back;
  ASSERT_TRUE(cli::ReadAudioFile(out, back, error)) << error;
  EXPECT_EQ(back.sampleRate, 32000.0);
  ASSERT_EQ(back.channels.size(), 2u);
  ASSERT_GE(back.Frames(), 4000u);
  double worst = 0.0, energy = 0.0, residual = 0.0;
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < 4000; ++i) {
      const double e = back.channels[ch][i] - static_cast<float>(source.channels[ch][i]);
      worst = std::max(worst, std::fabs(e));
      energy += source.channels[ch][i] * source.channels[ch][i];
      residual += e * e;
    }
  if (c.tolerance > 0)
    EXPECT_LE(worst, c.tolerance);
  else
    EXPECT_LT(residual, 0.01 * energy) << "lossy output should still be the same signal";
  std::remove(in.c_str());
  std::remove(out.c_str());
}

INSTANTIATE_TEST_SUITE_P(Formats, RenderFormatTest,
                         testing::Values(FormatCase{"wav", "", 0.0 + 1e-12}, FormatCase{"wav", "16", 1.0 / 32768},
                                         FormatCase{"wav", "24", 1.0 / 8388608}, FormatCase{"WAV", "32", 1e-9},
                                         FormatCase{"aiff", "", 1e-12}, FormatCase{"aif", "16", 1.0 / 32768},
                                         FormatCase{"flac", "", 1.0 / 8388608}, FormatCase{"flac", "16", 1.0 / 32768},
                                         FormatCase{"ogg", "", 0.0}));

TEST_F(RenderCliTest, FailedRendersLeaveTheOldOutputAndNoPartialFile) {
  const std::string out = PartialFile("kept.wav");
  {
    FILE* f = std::fopen(out.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("old", f);
    std::fclose(f);
  }
  const std::vector<std::vector<std::string>> failing = {
      {"render", "--in", PartialFile("absent.wav"), "--out", out, "--plugin", BundlePath()},
      {"render", "--out", out, "--plugin", BundlePath(), "--set", "DRY=7"},
      {"render", "--out", out, "--plugin", BundlePath() + ".gone"},
  };
  for (const auto& args : failing) EXPECT_NE(RunVellox(args).code, 0);
  FILE* f = std::fopen(out.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char text[8] = {};
  std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  EXPECT_STREQ(text, "old");

  // The write itself fails: the final name is a directory the file cannot replace.
  const std::string blocked = PartialFile("blocked.wav");
  const std::string inside = blocked + "/x";
  cli::AudioData tiny;
  tiny.channels.assign(1, std::vector<double>(10, 0.0));
  std::string error;
#ifndef _WIN32  // staged with the shell
  ASSERT_TRUE(cli::WriteAudioFile(out, tiny, error)) << error;
  ASSERT_EQ(std::system(("mkdir -p '" + blocked + "' && touch '" + inside + "'").c_str()), 0);
  const CliResult r = RunVellox({"render", "--out", blocked, "--plugin", BundlePath()});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.err.find("cannot write " + blocked), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(".partial"), std::string::npos) << "the message names the file the user asked for";
  EXPECT_TRUE(FileExists(inside));
  const std::string listing = PartialFile("listing.txt");
  ASSERT_EQ(std::system(("ls -a '" + testing::TempDir() + "' > '" + listing + "'").c_str()), 0);
  std::ifstream names(listing);
  std::string name;
  while (std::getline(names, name)) EXPECT_EQ(name.find(".partial-"), std::string::npos) << name;
  std::system(("rm -rf '" + blocked + "' '" + listing + "'").c_str());
#endif
  std::remove(out.c_str());
}

// Every option a command's help names is one the command accepts, and every
// option it accepts is named in its help.
TEST(HelpTest, EachCommandsHelpNamesExactlyTheOptionsItTakes) {
  const std::map<std::string, std::set<std::string>> accepted = {
      {"render", {"--in", "--out", "--format", "--plugin", "--set", "--bypass", "--precision", "--block", "--rate"}},
      {"info", {"--plugin"}},
      {"snapshot", {"--out", "--plugin", "--set"}},
  };
  for (const auto& [command, options] : accepted) {
    SCOPED_TRACE(command);
    const CliResult help = RunVellox({command, "--help"});
    ASSERT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: vellox " + command, 0), 0u) << help.out;
    std::set<std::string> named;
    const std::regex option("--[a-z]+");
    for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option); it != std::sregex_iterator(); ++it)
      named.insert(it->str());
    named.erase("--help");
    EXPECT_EQ(named, options);
    for (const std::string& name : named) {
      // An empty value keeps every command from doing real work.
      const CliResult r = RunVellox({command, name, ""});
      EXPECT_EQ(r.err.find("unknown option \"" + name), std::string::npos) << r.err;
    }
  }
  const CliResult main = RunVellox({"--help"});
  EXPECT_EQ(main.code, 0);
  for (const char* text : {"render", "info", "snapshot", "COMMAND --help", "Exit status"})
    EXPECT_NE(main.out.find(text), std::string::npos) << text;
  EXPECT_EQ(RunVellox({"help", "render"}).out, RunVellox({"render", "--help"}).out);
}

}  // namespace
}  // namespace vellox::test
