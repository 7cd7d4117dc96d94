// Output formats, the built-in codec's integer encodings, the progress bar and
// the all-or-nothing output file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <thread>

#include "CliRunner.h"
#include "audio_format.h"
#include "progress_bar.h"
#include "temporary_output.h"
#include "wav_io.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vellox::cli {
namespace {

TEST(OutputFormatTest, ExtensionAndFormatOptionDecideTogether) {
  const char* extensions[] = {"wav", "WAV", "aif", "aiff", "flac", "ogg", "mp3", ""};
  const char* options[] = {"", "16", "24", "32", "float", "8", "Float"};
  for (const char* ext : extensions)
    for (const char* opt : options) {
      const std::string path = std::string("dir.x/out") + (*ext ? "." : "") + ext;
      SCOPED_TRACE(path + " --format " + opt);
      OutputFormat format;
      std::string error;
      const bool ok = ChooseOutputFormat(path, opt, format, error);
      const std::string e = [&] {
        std::string lower = ext;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
      }();
      const bool known = e == "wav" || e == "aif" || e == "aiff" || e == "flac" || e == "ogg";
      const bool validOption = std::string(opt).empty() || std::string(opt) == "16" || std::string(opt) == "24" ||
                               std::string(opt) == "32" || std::string(opt) == "float";
      if (!known || (known && !CodecWrites(format.container))) {
        EXPECT_FALSE(ok);
        continue;
      }
      const bool fits = e == "ogg"    ? std::string(opt).empty()
                        : e == "flac" ? (std::string(opt) != "32" && std::string(opt) != "float")
                                      : true;
      EXPECT_EQ(ok, validOption && fits) << error;
      if (!ok) {
        EXPECT_FALSE(error.empty());
        continue;
      }
      if (e == "ogg") {
        EXPECT_EQ(format.encoding, SampleEncoding::kVorbis);
      }
      if (std::string(opt) == "16") {
        EXPECT_EQ(format.encoding, SampleEncoding::kPcm16);
      }
      if (std::string(opt) == "float" || (std::string(opt).empty() && e != "flac" && e != "ogg")) {
        EXPECT_EQ(format.encoding, SampleEncoding::kFloat32);
      }
      EXPECT_FALSE(DescribeFormat(format).empty());
    }
}

TEST(OutputFormatTest, OnlyWavIsAlwaysWritable) {
  EXPECT_TRUE(CodecWrites(Container::kWav));
  EXPECT_NE(std::string(CodecHelp()).find("WAV"), std::string::npos);
}

// Random samples, with overs and a NaN, through every integer encoding.
TEST(WavEncodingTest, IntegerEncodingsRoundTripWithinHalfAStepAndClip) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> sample(-1.0, 1.0);
  AudioData audio;
  audio.sampleRate = 48000;
  audio.channels.assign(2, std::vector<double>(501));
  for (auto& channel : audio.channels)
    for (double& s : channel) s = sample(random);
  audio.channels[0][0] = 1.7;
  audio.channels[1][0] = -3.0;
  audio.channels[0][1] = std::nan("");
  const struct {
    SampleEncoding encoding;
    int bits;
  } cases[] = {{SampleEncoding::kPcm16, 16}, {SampleEncoding::kPcm24, 24}, {SampleEncoding::kPcm32, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    const std::vector<uint8_t> bytes = EncodeWav(audio, c.encoding);
    EXPECT_EQ(bytes.size() % 2, 0u);
    AudioData back;
    std::string error;
    ASSERT_TRUE(DecodeWav(bytes, back, error)) << error;
    ASSERT_EQ(back.channels.size(), 2u);
    ASSERT_EQ(back.Frames(), 501u);
    EXPECT_EQ(back.sampleRate, 48000.0);
    const double step = std::ldexp(1.0, 1 - c.bits);
    EXPECT_NEAR(back.channels[0][0], 1.0 - step, 1e-12);  // clipped to the largest code
    EXPECT_EQ(back.channels[1][0], -1.0);
    EXPECT_EQ(back.channels[0][1], 0.0);
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 2; i < 501; ++i)
        ASSERT_LE(std::fabs(back.channels[ch][i] - audio.channels[ch][i]), step / 2 + 1e-15) << i;
  }
}

TEST(ProgressBarTest, DrawsOnlyWhenEnabledAndLate) {
  std::ostringstream quiet, early, late;
  ProgressBar off(quiet, false, std::chrono::seconds(0));
  ProgressBar waiting(early, true, std::chrono::hours(1));
  ProgressBar ready(late, true, std::chrono::seconds(0));
  for (size_t done = 0; done <= 1000; done += 100) {
    off.Update(done, 1000);
    waiting.Update(done, 1000);
    ready.Update(done, 1000);
  }
  off.Finish();
  waiting.Finish();
  EXPECT_EQ(quiet.str(), "");
  EXPECT_EQ(early.str(), "");
  EXPECT_TRUE(ready.Shown());
  const std::string drawn = late.str();
  EXPECT_NE(drawn.find("100%"), std::string::npos) << drawn;  // the end is always drawn
  EXPECT_NE(drawn.find(std::string(40, '#')), std::string::npos) << drawn;
  EXPECT_EQ(drawn.find('\n'), std::string::npos) << "the bar stays on one line";
  ready.Finish();
  EXPECT_EQ(late.str().back(), '\r');
}

std::string ReadAll(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    std::fclose(f);
  }
  return text;
}

void WriteAll(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

TEST(TemporaryOutputTest, TheFinalFileChangesOnlyOnCommit) {
  const test::ScratchDir scratch;
  const std::string target = scratch.File("target.txt");
  WriteAll(target, "old");
  std::string temporary;
  {
    TemporaryOutput abandoned(target);
    temporary = abandoned.Path();
    EXPECT_NE(temporary, target);
#ifdef __linux__
    WriteAll(temporary, "half");
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{"target.txt"}) << "the file being written has no name";
#else
    EXPECT_EQ(temporary.substr(0, scratch.Path().size()), scratch.Path()) << "beside the output";
    WriteAll(temporary, "half");
#endif
  }
  EXPECT_EQ(ReadAll(temporary), "") << "an abandoned temporary file is removed";
  EXPECT_EQ(ReadAll(target), "old");
  {
    TemporaryOutput finished(target);
    WriteAll(finished.Path(), "new");
    std::string error;
    ASSERT_TRUE(finished.Commit(error)) << error;
    temporary = finished.Path();
  }
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_EQ(ReadAll(temporary), "");
  std::remove(target.c_str());
}

#ifndef _WIN32
// A process killed while writing leaves nothing; a replaced file keeps its
// permission bits (a named pipe is written through: see the render tests).
TEST(TemporaryOutputTest, KillingLeavesNothingAndReplacingKeepsPermissions) {
  const test::ScratchDir scratch;
  const pid_t child = fork();
  if (child == 0) {
    TemporaryOutput output(scratch.File("killed.wav"));
    WriteAll(output.Path(), "partial");
    raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
#ifdef __linux__
  EXPECT_EQ(scratch.Names(), std::vector<std::string>{}) << "a killed write left a file";
#endif
  const std::string kept = scratch.File("kept.wav");
  for (const mode_t mode : {0600, 0640, 0755}) {
    WriteAll(kept, "old");
    ASSERT_EQ(chmod(kept.c_str(), mode), 0);
    TemporaryOutput output(kept);
    WriteAll(output.Path(), "new");
    std::string error;
    ASSERT_TRUE(output.Commit(error)) << error;
    struct stat after {};
    ASSERT_EQ(stat(kept.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, mode);
  }
}
#endif

}  // namespace
}  // namespace vellox::cli
