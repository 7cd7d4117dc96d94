// The `vellox` command line end to end: the same entry main() calls.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "audio_data.h"
#include "audio_format.h"
#include "CliRunner.h"
#include "cli.h"
#include "demo_signal.h"
#include "ModuleFixture.h"
#include "wav_io.h"

namespace vellox::test {
namespace {

class RenderCliTest : public ModuleTest {
protected:
  std::string TempFile(const std::string& name) const { return mScratch.File(name); }
  ScratchDir mScratch;
};

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

// A stereo 16-bit WAV of `frames` frames whose header promises `promised`.
std::string WriteShortWav(const std::string& path, size_t frames, size_t promised) {
  cli::AudioData audio;
  audio.sampleRate = 44100;
  audio.channels.assign(2, std::vector<double>(promised));
  for (size_t i = 0; i < promised; ++i) audio.channels[i % 2][i] = 0.25;
  std::vector<uint8_t> bytes = cli::EncodeWav(audio, cli::SampleEncoding::kPcm16);
  bytes.resize(44 + frames * 4);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST_F(RenderCliTest, ErrorsExplainThemselvesAndFail) {
  const std::string out = TempFile("never.wav");
  const std::string plugin = BundlePath();
  const std::string whole = WriteShortWav(TempFile("whole.wav"), 1000, 1000);
  const std::string shortWav = WriteShortWav(TempFile("short.wav"), 600, 1000);
  const std::string emptyWav = WriteShortWav(TempFile("empty.wav"), 0, 1000);
  cli::AudioData fast{10000000, {std::vector<double>(10)}};
  std::string written;
  ASSERT_TRUE(cli::WriteAudioFile(TempFile("10MHz.wav"), fast, written)) << written;
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
      {{"render", "--out", out, "--plugin", plugin, "--set", "=3"}, 2, "NAME=VALUE"},
      {{"render", "--out", out, "--out", out, "--plugin", plugin}, 2, "--out is given more than once"},
      {{"render", "--out", out, "--block=64", "--block", "64"}, 2, "--block is given more than once"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "BY=maybe"}, 2, "is not a number, nor one of Off, On"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "NOTE=1/7"}, 2, "nor one of 1/32, 1/16T, 1/16, 1/8T"},
      {{"render", "--out", out, "--tempo", "0"}, 2, "--tempo takes a tempo from 1 to 1000 BPM"},
      {{"render", "--out", out, "--tempo", "nan"}, 2, "--tempo takes"},
      {{"render", "--out", out, "--start-beat", "inf"}, 2, "--start-beat takes"},
      {{"render", "--out", out, "--plugin", plugin, "--automate", "CHOP=0.5"}, 2, "NAME=TIME:VALUE"},
      {{"render", "--out", out, "--plugin", plugin, "--automate", "CHOP=-1:0.5"}, 2, "number of seconds"},
      {{"render", "--out", out, "--plugin", plugin, "--automate", "CHOP=1:0.5,2:9"}, 2, "out of range"},
      {{"render", "--in", TempFile(""), "--out", out, "--plugin", plugin}, 1, "is a folder"},
      {{"render", "--out", TempFile("absent/never.wav"), "--plugin", plugin}, 1, "does not exist"},
      {{"render", "--out", TempFile(""), "--plugin", plugin}, 2, "cannot tell the output format"},
      {{"render", "--in", shortWav, "--out", out, "--plugin", plugin}, 1, "400 of them are missing"},
      {{"render", "--in", emptyWav, "--out", out, "--plugin", plugin, "--allow-truncated"}, 1, "holds no audio frames"},
      {{"render", "--in", whole, "--out", mScratch.Path() + "./whole.wav", "--plugin", plugin}, 2, "is the input file"},
      {{"render", "--plugin", plugin}, 2, "needs --out"},
      {{"render", "--out", out, "--precision", "48"}, 2, "--precision takes 32 or 64, got \"48\""},
      {{"render", "--out", out, "--block", "0"}, 2, "--block"},
      {{"render", "--out", out, "--loud"}, 2, "unknown option"},
      {{"mix"}, 2, "unknown command"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "NOTE=3.5"}, 2, "NOTE takes a whole number from 0 to"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "BY=0.5"}, 2, "BY takes a whole number from 0 to 1"},
      {{"render", "--out", out, "--plugin", plugin, "--set", "NOTE=on"}, 2, "nor one of 1/32, 1/16T"},
      {{"render", "--out", out, "--plugin", plugin, "--automate", "NOTE=0:2.5"}, 2, "whole number"},
      {{"render", "--in", whole, "--out", out, "--plugin", plugin, "--rate", "48000"}, 2, "which is 44100 Hz"},
      {{"render", "--in", TempFile("10MHz.wav"), "--out", out, "--plugin", plugin, "--rate", "8000"},
       2,
       "10000000 Hz ("},
      {{"snapshot", "--out", TempFile("never.jpg"), "--plugin", plugin}, 2, "ending in .png"},
      {{"snapshot", "--out", TempFile("absent/never.png"), "--plugin", plugin}, 1, "does not exist"},
      {{"snapshot", "--out", TempFile("never.png"), "--plugin", plugin + ".missing"}, 1, "plug-in not found"},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  if (cli::CodecWrites(cli::Container::kFlac))
    all.push_back({{"render", "--out", TempFile("never.flac"), "--plugin", plugin, "--rate", "768000"},
                   1,
                   "FLAC holds rates up to 655350 Hz"});
  for (const Case& c : all) {
    SCOPED_TRACE(c.message);
    const CliResult r = RunVellox(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("vellox: error: "), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "errors are one line: " << r.err;
  }
  EXPECT_EQ(std::fopen(out.c_str(), "rb"), nullptr) << "a failed render left an output file";
}

// Allowed, a short input renders the frames it holds; forced, an output that
// is the input replaces it whole and leaves no temporary file.
TEST_F(RenderCliTest, ShortInputsRenderWhenAllowedAndTheInputIsReplacedWhenForced) {
  const std::string out = TempFile("short_out.wav");
  const std::string in = WriteShortWav(TempFile("short.wav"), 600, 1000);
  const CliResult r = RunVellox({"render", "--in", in, "--out", out, "--plugin", BundlePath(), "--allow-truncated"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("400 of them are missing; rendered the 600"), std::string::npos) << r.err;
  cli::AudioData back, before, after;
  std::string error;
  ASSERT_TRUE(cli::ReadAudioFile(out, back, error)) << error;
  EXPECT_EQ(back.Frames(), 600u);
  std::remove(in.c_str());

  const std::string self = WriteShortWav(TempFile("self.wav"), 2000, 2000);
  ASSERT_TRUE(cli::ReadAudioFile(self, before, error)) << error;
  const CliResult forced = RunVellox({"render", "--in", self, "--out", mScratch.Path() + "./self.wav", "--plugin",
                                      BundlePath(), "--bypass", "--force"});
  ASSERT_EQ(forced.code, 0) << forced.err;
  ASSERT_TRUE(cli::ReadAudioFile(self, after, error)) << error;
  EXPECT_EQ(after.channels, before.channels);
  EXPECT_EQ(mScratch.Names(), (std::vector<std::string>{"self.wav", "short_out.wav"})) << "no temporary file is left";
}

TEST_F(RenderCliTest, ClippedSamplesAreCountedInIntegerFormatsOnly) {
  for (const char* format : {"16", "float"}) {
    const CliResult r = RunVellox(
        {"render", "--out", TempFile("loud.wav"), "--plugin", BundlePath(), "--set", "OUTPUT=10", "--format", format});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::regex warning("vellox: warning: ([0-9]+) samples went over full scale .*--format float");
    std::smatch match;
    const bool warned = std::regex_search(r.err, match, warning);
    EXPECT_EQ(warned, std::string(format) == "16") << r.err;
    if (warned) {
      EXPECT_GT(std::stol(match[1]), 1000);
    }
  }
  if (!cli::CodecWrites(cli::Container::kFlac)) return;  // FLAC has no float format: advise one that has
  const CliResult r =
      RunVellox({"render", "--out", TempFile("l.flac"), "--plugin", BundlePath(), "--set", "OUTPUT=10"});
  EXPECT_NE(r.err.find("24-bit FLAC (a .wav or .aiff output with --format float keeps them"), std::string::npos)
      << r.err;
}

#ifndef _WIN32
TEST_F(RenderCliTest, AnOutputLinkIsWrittenThroughNotReplaced) {
  const std::string target = TempFile("target.wav"), link = TempFile("link.wav");
  std::ofstream(target) << "old";
  std::filesystem::create_symlink("target.wav", link);
  const CliResult r = RunVellox({"render", "--out", link, "--plugin", BundlePath()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  cli::AudioData audio;
  std::string error;
  EXPECT_TRUE(cli::ReadAudioFile(target, audio, error)) << error;
  EXPECT_EQ(audio.Frames(), 176400u);
}
#endif

// The first frame whose samples differ in any bit (the files' headers hold
// the time they were written); -1 when none does.
long FirstDifferingFrame(const std::string& pathA, const std::string& pathB) {
  cli::AudioData a, b;
  std::string error;
  EXPECT_TRUE(cli::ReadAudioFile(pathA, a, error) && cli::ReadAudioFile(pathB, b, error)) << error;
  if (a.channels.size() != b.channels.size() || a.Frames() != b.Frames()) return 0;
  for (size_t i = 0; i < a.Frames(); ++i)
    for (size_t c = 0; c < a.channels.size(); ++c)
      if (std::memcmp(&a.channels[c][i], &b.channels[c][i], sizeof(double)) != 0) return static_cast<long>(i);
  return -1;
}

// "TIME:VALUE,..." with each TIME the exact time of a frame at 44.1 kHz.
std::string AtFrames(std::initializer_list<std::pair<long, const char*>> points) {
  std::string text;
  for (const auto& [frame, value] : points) {
    char time[40];
    std::snprintf(time, sizeof time, "%.17g", static_cast<double>(frame) / 44100.0);
    text += (text.empty() ? "" : ",") + std::string(time) + ":" + value;
  }
  return text;
}

// More points in one block than the effect's queues take: the tool cuts it.
std::string DenseDry() {
  std::string text = "DRY=" + AtFrames({{60000, "0.4"}});
  for (long frame = 60500; frame < 100000; frame += 500)
    text += "," + AtFrames({{frame, frame % 1000 ? "0.1" : "0.6"}});
  return text;
}

// Automation lands on its own frame whatever the block size, so every
// partition writes the same bytes; the host's bypass shows one point landing.
TEST_F(RenderCliTest, AutomationLandsOnItsFramesWhateverTheBlockSize) {
  const std::vector<std::string> automation = {
      "--automate",   "CHOP=" + AtFrames({{0, "0.3"}, {20011, "0.61"}, {70001, "0.27"}}),
      "--automate",   "BY=" + AtFrames({{33333, "On"}, {33334, "Off"}, {90017, "1"}, {95000, "0"}}),
      "--automate",   "OUTPUT=" + AtFrames({{1, "-6"}, {45678, "4.5 dB"}, {131071, "-10"}}),
      "--automate",   DenseDry(),
      "--automate",   "FADE=" + AtFrames({{12345, "40"}, {176400, "5"}}),  // the last one after the end
      "--automate",   "Bypass=" + AtFrames({{150000, "On"}, {160001, "Off"}}),
      "--automate",   "SYNC=" + AtFrames({{40000, "On"}, {120000, "Off"}, {125000, "1"}}),
      "--automate",   "NOTE=" + AtFrames({{50000, "1/16T"}, {80000, "4 bars"}, {100000, "3"}}),
      "--tempo",      "133",
      "--start-beat", "2.5"};
  for (const char* block : {"4096", "1", "32", "512", "7", "333", "65536"}) {
    const std::string out = TempFile(std::string("automated-") + block + ".wav");
    std::vector<std::string> args = {"render",      "--out", out,       "--plugin", BundlePath(),
                                     "--precision", "64",    "--block", block};
    args.insert(args.end(), automation.begin(), automation.end());
    const CliResult r = RunVellox(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "vellox: warning: 1 --automate point lies at or after the end of the render and was ignored\n");
    EXPECT_EQ(FirstDifferingFrame(out, TempFile("automated-4096.wav")), -1)
        << "blocks of " << block << " differ from blocks of 4096 from this frame on";
  }
  cli::AudioData audio;
  std::string error;
  ASSERT_TRUE(cli::ReadAudioFile(TempFile("automated-4096.wav"), audio, error)) << error;
  const cli::AudioData demo = cli::MakeDemoSignal(44100.0);
  const auto dry = [&](long i) { return audio.channels[0][i] == static_cast<float>(demo.channels[0][i]); };
  EXPECT_FALSE(dry(149999));
  EXPECT_TRUE(dry(150000) && dry(155555) && dry(160000));
  EXPECT_FALSE(dry(160001));
}

// --start-beat alone plays at the default tempo from the beat it names; an
// automation time between two frames lands on the nearer, half-way on the later.
TEST_F(RenderCliTest, TransportAndAutomationTimesLandWhereTheyShould) {
  const auto render = [&](const std::string& name, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", "--out", TempFile(name), "--plugin", BundlePath(), "--rate", "8000"};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(RunVellox(args).code, 0);
    return TempFile(name);
  };
  const std::string alone = render("b.wav", {"--set", "SYNC=On", "--start-beat", "0"});
  const std::string at120 = render("b120.wav", {"--set", "SYNC=On", "--tempo", "120", "--start-beat", "0"});
  EXPECT_EQ(FirstDifferingFrame(alone, at120), -1) << "--start-beat alone plays at 120 BPM";
  EXPECT_NE(
      FirstDifferingFrame(at120, render("b1.wav", {"--set", "SYNC=On", "--tempo", "120", "--start-beat", "1.25"})), -1);
  // At 8 kHz 1/128 s is frame 62.5, exact in binary.
  const std::string half = render("half.wav", {"--automate", "Bypass=0.0078125:On"});
  EXPECT_EQ(FirstDifferingFrame(half, render("63.wav", {"--automate", "Bypass=0.007875:On"})), -1);
  EXPECT_NE(FirstDifferingFrame(half, render("62.wav", {"--automate", "Bypass=0.00775:On"})), -1);
}

// A program, step levels and note-ons from the command line: the same bytes
// at every block size, the first note's restart on its own frame, and a
// program the same as its values given one by one.
TEST_F(RenderCliTest, PatternProgramsAndNotesLandWhateverTheBlockSize) {
  const auto render = [&](const std::string& name, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", "--out", TempFile(name), "--plugin", BundlePath(), "--precision", "64"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliResult r = RunVellox(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return TempFile(name);
  };
  const std::vector<std::string> pattern = {"--preset", "swung 16ths", "--set",       "OFFSET=25", "--pattern",
                                            "1,0,0.5",  "--set",       "RETRIG=MIDI", "--tempo",   "128"};
  const std::string notes =
      "0.68027210884353739,0.68029478458049887,2.2675736961451247";  // frames 30000, 30001, 100000
  std::vector<std::string> withNotes = pattern;
  withNotes.insert(withNotes.end(), {"--notes", notes});
  const std::string whole = render("notes-4096.wav", withNotes);
  for (const char* block : {"7", "333", "512"}) {
    std::vector<std::string> args = withNotes;
    args.insert(args.end(), {"--block", block});
    EXPECT_EQ(FirstDifferingFrame(render(std::string("notes-") + block + ".wav", args), whole), -1) << block;
  }
  const long restart = FirstDifferingFrame(whole, render("no-notes.wav", pattern));
  EXPECT_GE(restart, 30000);
  EXPECT_LT(restart, 30000 + 44100 * 60 / 128 / 4) << "the restart shows within the first step";
  const std::string program = render("ping-pong.wav", {"--preset", "Ping-pong"});
  EXPECT_EQ(FirstDifferingFrame(
                program, render("ping-pong-set.wav",
                                {"--set", "FADE=30", "--set", "SYNC=On", "--set", "NOTE=1/4", "--set", "PATTERN=On",
                                 "--set", "STEPS=2", "--pattern", "1,0", "--set", "GATE=90", "--set", "OFFSET=50"})),
            -1);
}

// Long enough for RF64, written as a stream, through pipes, to a device, an Ogg cut short.
TEST_F(RenderCliTest, StreamedLongPipedAndCutShortFilesRenderWhole) {
  const std::string in = WriteShortWav(TempFile("in.wav"), 1000, 1000);
  cli::AudioData reference, back;
  std::string error;
  ASSERT_TRUE(cli::ReadAudioFile(in, reference, error)) << error;
  std::ifstream source(in, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
  const auto bypassed = [&](const std::string& from, const std::string& to, const char* threshold = "") {
#ifdef _WIN32
    _putenv_s("VELLOX_RF64_THRESHOLD", threshold);
#else
    setenv("VELLOX_RF64_THRESHOLD", threshold, 1);
#endif
    const CliResult r =
        RunVellox({"render", "--in", from, "--out", to, "--plugin", BundlePath(), "--bypass", "--format", "16"});
    EXPECT_EQ(r.code, 0) << r.err;
    return r;
  };
  const auto same = [&](const std::string& path, const char* head) {
    std::ifstream file(path, std::ios::binary);
    char tag[5] = {};
    file.read(tag, 4);
    EXPECT_STREQ(tag, head) << path;
    ASSERT_TRUE(cli::ReadAudioFile(path, back, error)) << error;
    EXPECT_EQ(back.channels, reference.channels) << path;
  };
  bypassed(in, TempFile("rf64.wav"), "3999");  // 4000 bytes of data
  same(TempFile("rf64.wav"), "RF64");
  bypassed(TempFile("rf64.wav"), TempFile("plain.wav"), "4000");  // RF64 in, a WAV that fits out
  same(TempFile("plain.wav"), "RIFF");
  for (const char* size : {"\x00\x00\x00\x00", "\xFF\xFF\xFF\xFF"}) {
    std::ofstream(TempFile("streamed.wav"), std::ios::binary)
        << std::string(bytes).replace(4, 4, size, 4).replace(40, 4, size, 4);
    bypassed(TempFile("streamed.wav"), TempFile("streamed-out.wav"));
    same(TempFile("streamed-out.wav"), "RIFF");
  }
#ifndef _WIN32
  const std::string inPipe = TempFile("in.fifo"), outPipe = TempFile("out.wav");
  ASSERT_EQ(mkfifo(inPipe.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(outPipe.c_str(), 0600), 0);
  std::string received;
  std::thread writer(
      [&] { std::ofstream(inPipe, std::ios::binary) << std::string(bytes).replace(40, 4, "\xFF\xFF\xFF\xFF", 4); });
  std::thread reader([&] {
    std::ifstream pipe(outPipe, std::ios::binary);
    received.assign(std::istreambuf_iterator<char>(pipe), std::istreambuf_iterator<char>());
  });
  bypassed(inPipe, outPipe);
  writer.join();
  reader.join();
  EXPECT_TRUE(std::filesystem::is_fifo(outPipe)) << "the output pipe was replaced";
  ASSERT_TRUE(cli::DecodeWav(std::vector<uint8_t>(received.begin(), received.end()), back, error)) << error;
  EXPECT_EQ(back.channels, reference.channels);
  bypassed(in, "/dev/null");
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
#endif
  if (!cli::CodecWrites(cli::Container::kOgg)) return;
  const std::string ogg = TempFile("whole.ogg");
  ASSERT_EQ(RunVellox({"render", "--out", ogg, "--plugin", BundlePath()}).code, 0);
  std::filesystem::resize_file(ogg, std::filesystem::file_size(ogg) / 2);
  const CliResult cut = bypassed(ogg, TempFile("cut.wav"));
  EXPECT_NE(cut.err.find("the length of " + ogg + " is unknown"), std::string::npos) << cut.err;
  EXPECT_EQ(cut.err.find("promises"), std::string::npos) << cut.err;
}

TEST_F(RenderCliTest, InfoShowsTheModuleAsAHostSeesIt) {
  const CliResult r = RunVellox({"info", "--plugin", BundlePath()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.rfind("plug-in " + BundlePath() + " (named by --plugin)\n", 0), 0u) << r.out;
  // The class id's bytes in the platform's TUID order.
  // The class id as moduleinfo.json writes it, on every platform.
  for (const char* text :
       {"Quenwick", "F2AEE70D00DE4F4E516E776B564C5831", "Audio Module Class", "VST 3.6.12", "parameters: 31",
        "0x62706173", "OUTPUT", "STEP 16", "Root Unit", "programs through Preset: 13", "\"Default\"", "\"Ping-pong\""})
    EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
  // What a host is told there is, and nothing it is not told.
  const auto lists = r.out.find("program lists: 0\n");
  if (lists != std::string::npos) {
    EXPECT_EQ(r.out.find("  list ", lists), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace vellox::test

namespace vellox::test {
namespace {

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

class RenderFormatTest : public ModuleTest, public testing::WithParamInterface<FormatCase> {
protected:
  std::string PartialFile(const std::string& name) const { return mScratch.File(name); }
  ScratchDir mScratch;
};

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
  const std::string out = TempFile("kept.wav");
  {
    FILE* f = std::fopen(out.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("old", f);
    std::fclose(f);
  }
  const std::vector<std::vector<std::string>> failing = {
      {"render", "--in", TempFile("absent.wav"), "--out", out, "--plugin", BundlePath()},
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
  const std::string blocked = TempFile("blocked.wav");
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
  for (const std::string& name : mScratch.Names()) EXPECT_EQ(name.find(".partial-"), std::string::npos) << name;
#endif
  std::remove(out.c_str());
}

// Every option a command's help names is one the command accepts, and every
// option it accepts is named in its help.
TEST(HelpTest, EachCommandsHelpNamesExactlyTheOptionsItTakes) {
  const std::map<std::string, std::set<std::string>> accepted = {
      {"render",
       {"--in", "--out", "--format", "--plugin", "--set", "--automate", "--tempo", "--start-beat", "--bypass",
        "--precision", "--block", "--rate", "--force", "--allow-truncated", "--preset", "--pattern", "--notes"}},
      {"info", {"--plugin"}},
      {"snapshot", {"--out", "--plugin", "--scale", "--set"}},
  };
  for (const auto& [command, options] : accepted) {
    SCOPED_TRACE(command);
    const CliResult help = RunVellox({command, "--help"});
    ASSERT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: vellox " + command, 0), 0u) << help.out;
    std::set<std::string> named;
    const std::regex option("--[a-z]+(-[a-z]+)*");
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
  for (const char* text : {"render", "info", "snapshot", "COMMAND --help", "Exit status", "--version"})
    EXPECT_NE(main.out.find(text), std::string::npos) << text;
  EXPECT_EQ(RunVellox({"help", "render"}).out, RunVellox({"render", "--help"}).out);
}

}  // namespace
}  // namespace vellox::test
