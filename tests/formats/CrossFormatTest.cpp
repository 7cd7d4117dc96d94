// The same render through every format the build makes: the same input,
// settings, automation and tempo give the same samples, bit for bit, and the
// same settings save the same state bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "audio_data.h"
#include "demo_signal.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "wav_io.h"

namespace vellox::test {
namespace {

std::string Module(const char* name) { return std::string(VELLOX_MODULE_DIR) + "/" + name; }

struct RenderCase {
  const char* name;
  std::vector<std::string> options;
};

// Free and synced cycles, every stepped kind, automation between block
// edges, odd block sizes, mono and stereo, the host's bypass, a pattern with
// swing and offset, note-ons restarting it.
const RenderCase kCases[] = {
    {"defaults", {}},
    {"free", {"--set", "CHOP=0.5", "--set", "FADE=20", "--set", "OUTPUT=-3", "--block", "333"}},
    {"synced", {"--set", "SYNC=On", "--set", "NOTE=1/8T", "--tempo", "133", "--start-beat", "1.3", "--block", "97"}},
    {"automated",
     {"--automate", "DRY=0.1:0.3,0.7:0.9", "--automate", "NOTE=0.5:1/16,1.2:2 bars", "--set", "SYNC=On", "--tempo",
      "90", "--block", "512"}},
    {"switched", {"--automate", "BY=0.4:On,0.9:Off", "--automate", "CHOP=0.25:0.8", "--block", "4096"}},
    {"bypassed", {"--bypass", "--set", "CHOP=0.9"}},
    {"mono", {"--in", "mono", "--set", "SYNC=On", "--tempo", "150", "--block", "64"}},
    {"pattern",
     {"--set", "PATTERN=On", "--set", "STEPS=5", "--set", "STEP 2=0.3", "--set", "STEP 4=0", "--set", "GATE=70",
      "--set", "SWING=40", "--set", "OFFSET=10", "--automate", "SWING=0.6:15", "--block", "300"}},
    {"retriggered",
     {"--set", "PATTERN=On", "--set", "RETRIG=MIDI", "--set", "SWING=25", "--set", "STEPS=3", "--set", "STEP 3=0",
      "--automate", "SWING=0.5:40", "--notes", "0.31,0.5003,0.7,0.7003,1.45", "--block", "256"}},
};

class CrossFormatTest : public testing::TestWithParam<const char*> {
protected:
  cli::AudioData Render(const std::string& plugin, const RenderCase& c, const char* bits) {
    std::vector<std::string> args = {"render", "--plugin", plugin, "--format", "float", "--precision", bits};
    for (size_t i = 0; i < c.options.size(); ++i) {
      // "mono" stands for a mono input file made once.
      if (c.options[i] == "mono") {
        args.push_back(MonoInput());
        continue;
      }
      args.push_back(c.options[i]);
    }
    const std::string out = mScratch.File(std::string(c.name) + "-" + bits + ".wav");
    args.insert(args.end(), {"--out", out, "--force"});
    const CliResult r = RunVellox(args);
    EXPECT_EQ(r.code, 0) << plugin << " " << c.name << ": " << r.err;
    cli::AudioData audio;
    std::string error;
    EXPECT_TRUE(cli::ReadAudioFile(out, audio, error)) << error;
    return audio;
  }

  std::string MonoInput() {
    const std::string path = mScratch.File("mono-in.wav");
    cli::AudioData stereo = cli::MakeDemoSignal(48000.0);
    cli::AudioData mono;
    mono.sampleRate = stereo.sampleRate;
    mono.channels = {stereo.channels[1]};
    std::string error;
    EXPECT_TRUE(cli::WriteAudioFile(path, mono, error)) << error;
    return path;
  }

  ScratchDir mScratch;
};

// Frames where two renders differ; 0 when they agree bit for bit.
size_t Differences(const cli::AudioData& a, const cli::AudioData& b) {
  if (a.channels.size() != b.channels.size() || a.Frames() != b.Frames()) return SIZE_MAX;
  size_t count = 0;
  for (size_t c = 0; c < a.channels.size(); ++c)
    for (size_t i = 0; i < a.Frames(); ++i)
      if (std::memcmp(&a.channels[c][i], &b.channels[c][i], sizeof(double)) != 0) ++count;
  return count;
}

TEST_P(CrossFormatTest, ClapRendersTheVst3SamplesForEveryCase) {
  const char* bits = GetParam();
  const cli::AudioData defaults = Render(Module("Vellox.vst3"), kCases[0], bits);
  for (const RenderCase& c : kCases) {
    const cli::AudioData vst3 = Render(Module("Vellox.vst3"), c, bits);
    const cli::AudioData clap = Render(Module("Vellox.clap"), c, bits);
    ASSERT_GT(vst3.Frames(), 0u) << c.name;
    EXPECT_EQ(Differences(vst3, clap), 0u) << c.name << " at " << bits << " bits";
    // Each case's settings change the sound, so agreeing is not a coincidence.
    if (&c != &kCases[0] && vst3.channels.size() == defaults.channels.size()) {
      EXPECT_GT(Differences(vst3, defaults), 0u) << c.name;
    }
  }
}

#if VELLOX_HOST_LV2
// LV2 processes single precision only, and its controls are single
// precision: the values of every case are taken as the VST 3 takes them.
TEST_F(CrossFormatTest, Lv2RendersTheVst3SamplesForEveryCase) {
  for (const RenderCase& c : kCases) {
    const cli::AudioData vst3 = Render(Module("Vellox.vst3"), c, "32");
    const cli::AudioData lv2 = Render(Module("vellox.lv2"), c, "32");
    ASSERT_GT(vst3.Frames(), 0u) << c.name;
    EXPECT_EQ(Differences(vst3, lv2), 0u) << c.name;
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(Precisions, CrossFormatTest, testing::Values("32", "64"));

// One set of values saved through each format: the same bytes, and each
// format restores what the other saved.
TEST(CrossFormatState, BothFormatsSaveAndRestoreTheSameBytes) {
  std::string error;
  auto vst3Module = host::ModuleLibrary::Load(Module("Vellox.vst3"), error);
  auto clapModule = host::ModuleLibrary::Load(Module("Vellox.clap"), error);
  ASSERT_TRUE(vst3Module && clapModule) << error;
  auto vst3 = host::PluginInstance::Create(*vst3Module, error);
  auto clap = host::PluginInstance::Create(*clapModule, error);
  ASSERT_TRUE(vst3 && clap) << error;
  std::vector<uint8_t> fromVst3, fromClap, saved;
  ASSERT_TRUE(vst3->SaveState(fromVst3, error));
  ASSERT_TRUE(clap->SaveState(fromClap, error));
  EXPECT_EQ(fromVst3, fromClap) << "defaults";

  // Values set in the VST 3 move to the CLAP through its state, and back.
  auto* controller = vst3->Controller();
  for (int32_t i = 0; i < controller->getParameterCount(); ++i) {
    Steinberg::Vst::ParameterInfo info{};
    if (controller->getParameterInfo(i, info) == Steinberg::kResultOk && info.flags & info.kCanAutomate)
      controller->setParamNormalized(info.id, std::fmod(0.37 * (i + 1), 1.0));
  }
  ASSERT_TRUE(vst3->SaveState(fromVst3, error));
  EXPECT_NE(fromVst3, fromClap);
  ASSERT_EQ(clap->LoadState(fromVst3), Steinberg::kResultOk);
  ASSERT_TRUE(clap->SaveState(fromClap, error));
  EXPECT_EQ(fromClap, fromVst3);
  ASSERT_EQ(vst3->LoadState(fromClap), Steinberg::kResultOk);
  ASSERT_TRUE(vst3->SaveState(saved, error));
  EXPECT_EQ(saved, fromVst3);

  // A state of the first extension (its two values only) loads alike: the
  // later values take their defaults in both.
  const size_t header = 44;  // five values and the bypass word
  ASSERT_GT(fromVst3.size(), header + 12 + 16);
  std::vector<uint8_t> older(fromVst3.begin(), fromVst3.begin() + header + 4);
  for (uint8_t b : {1, 0, 0, 0, 16, 0, 0, 0}) older.push_back(b);
  older.insert(older.end(), fromVst3.begin() + header + 12, fromVst3.begin() + header + 12 + 16);
  ASSERT_EQ(vst3->LoadState(older), Steinberg::kResultOk);
  ASSERT_EQ(clap->LoadState(older), Steinberg::kResultOk);
  ASSERT_TRUE(vst3->SaveState(fromVst3, error));
  ASSERT_TRUE(clap->SaveState(fromClap, error));
  EXPECT_EQ(fromClap, fromVst3) << "a first-extension state";
  EXPECT_NE(fromVst3, saved);
}

#if VELLOX_HOST_LV2
// The LV2 plug-in keeps the VST 3's state bytes as its one state property:
// it saves them at its defaults, takes a VST 3 project's, and refuses a
// broken one without a change.
TEST(CrossFormatState, Lv2KeepsTheVst3Bytes) {
  std::string error;
  auto vst3Module = host::ModuleLibrary::Load(Module("Vellox.vst3"), error);
  auto lv2Module = host::ModuleLibrary::Load(Module("vellox.lv2"), error);
  ASSERT_TRUE(vst3Module && lv2Module) << error;
  auto vst3 = host::PluginInstance::Create(*vst3Module, error);
  auto lv2 = host::PluginInstance::Create(*lv2Module, error);
  ASSERT_TRUE(vst3 && lv2) << error;
  host::ProcessConfig config;
  ASSERT_TRUE(lv2->Start(config, error)) << error;
  std::vector<uint8_t> fromVst3, fromLv2;
  ASSERT_TRUE(vst3->SaveState(fromVst3, error));
  ASSERT_TRUE(lv2->SaveState(fromLv2, error));
  EXPECT_EQ(fromLv2, fromVst3) << "defaults";

  auto* controller = vst3->Controller();
  for (int32_t i = 0; i < controller->getParameterCount(); ++i) {
    Steinberg::Vst::ParameterInfo info{};
    if (controller->getParameterInfo(i, info) == Steinberg::kResultOk && info.flags & info.kCanAutomate)
      controller->setParamNormalized(info.id, std::fmod(0.61 * (i + 1), 1.0));
  }
  ASSERT_TRUE(vst3->SaveState(fromVst3, error));
  ASSERT_EQ(lv2->LoadState(fromVst3), Steinberg::kResultOk);
  ASSERT_TRUE(lv2->SaveState(fromLv2, error));
  EXPECT_EQ(fromLv2, fromVst3);

  const std::vector<uint8_t> cut(fromVst3.begin(), fromVst3.end() - 3);
  EXPECT_NE(lv2->LoadState(cut), Steinberg::kResultOk);
  ASSERT_TRUE(lv2->SaveState(fromLv2, error));
  EXPECT_EQ(fromLv2, fromVst3) << "a refused state changed values";
}
#endif

}  // namespace
}  // namespace vellox::test
