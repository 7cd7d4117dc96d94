// An independent host built on JUCE's VST 3 hosting drives the built bundle:
// what a JUCE-based DAW shows for the parameters (fresh and after a project
// reload), what it plays at its block sizes compared with `vellox render`,
// both channel layouts, automation on every block, and its editor following
// the host with no audio running.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

#include "float_wav.h"
#include "hosted_vellox.h"
#include "juce_editor.h"

namespace vellox::juce_host {
namespace {

const char* const kKnobs[] = {"FADE", "CHOP", "DRY", "OUTPUT", "BY"};
constexpr int kBlockSizes[] = {64, 512, 4096, 8192};

// Two seconds of a 1 kHz sine (left) and its cosine at half level (right),
// exactly representable as float so both hosts see the same samples.
Planar TestSignal(int channels) {
  const int frames = static_cast<int>(2 * kRate);
  Planar audio(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  for (int i = 0; i < frames; ++i) {
    const double phase = 2.0 * M_PI * 1000.0 * i / kRate;
    audio[0][i] = static_cast<float>(0.5 * std::sin(phase));
    if (channels == 2) audio[1][i] = static_cast<float>(0.25 * std::cos(phase));
  }
  return audio;
}

float Peak(const Planar& audio) {
  float peak = 0.0f;
  for (const auto& channel : audio)
    for (float sample : channel) peak = std::max(peak, std::fabs(sample));
  return peak;
}

// Frames where the two renders differ in any bit; -1 when their shapes differ.
long DifferingFrames(const Planar& a, const Planar& b) {
  if (a.size() != b.size() || a.empty() || a[0].size() != b[0].size()) return -1;
  long differing = 0;
  for (size_t i = 0; i < a[0].size(); ++i)
    for (size_t c = 0; c < a.size(); ++c)
      if (std::memcmp(&a[c][i], &b[c][i], sizeof(float)) != 0) {
        ++differing;
        break;
      }
  return differing;
}

std::unique_ptr<juce::AudioPluginInstance> Load() {
  std::string error;
  auto plugin = LoadVellox(error);
  EXPECT_TRUE(plugin) << error;
  return plugin;
}

Planar RenderInJuce(const Planar& input, int block) {
  auto plugin = Load();
  if (!plugin || !Prepare(*plugin, static_cast<int>(input.size()), block)) {
    ADD_FAILURE() << "could not set up a " << input.size() << "-channel instance for blocks of " << block;
    return {};
  }
  return Render(*plugin, input, block);
}

// The same input through the project's own host tool, processed and written in 32-bit float.
Planar RenderWithVelloxTool(const Planar& input, int block) {
  const std::string tag = std::to_string(input.size()) + "ch-" + std::to_string(block);
  const std::string in = Paths().scratch + "/in-" + tag + ".wav";
  const std::string out = Paths().scratch + "/out-" + tag + ".wav";
  if (!WriteFloatWav(in, input, static_cast<uint32_t>(kRate))) {
    ADD_FAILURE() << "cannot write " << in;
    return {};
  }
  juce::ChildProcess tool;
  const juce::StringArray args{
      Paths().vellox.c_str(), "render",      "--in", in.c_str(), "--out", out.c_str(), "--plugin",
      Paths().bundle.c_str(), "--precision", "32",   "--format", "float", "--block",   juce::String(block)};
  if (!tool.start(args)) {
    ADD_FAILURE() << "cannot start " << Paths().vellox;
    return {};
  }
  const juce::String log = tool.readAllProcessOutput();
  tool.waitForProcessToFinish(60000);
  if (tool.getExitCode() != 0) {
    ADD_FAILURE() << "vellox render failed: " << log;
    return {};
  }
  Planar output;
  uint32_t rate = 0;
  if (!ReadFloatWav(out, output, rate) || rate != static_cast<uint32_t>(kRate)) {
    ADD_FAILURE() << "cannot read a float WAV at " << kRate << " Hz from " << out;
    return {};
  }
  return output;
}

// Lets JUCE handle what the plug-in posted to the message thread.
void SettleMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

TEST(JuceHost, FreshInstanceShowsTheValuesThePluginHolds) {
  auto plugin = Load();
  ASSERT_TRUE(plugin);
  PluginController controller(*plugin);
  ASSERT_TRUE(controller.Valid());
  for (const char* name : kKnobs) {
    auto* parameter = FindParameter(*plugin, name);
    ASSERT_NE(parameter, nullptr) << name;
    const double held = controller.Value(*parameter);
    std::cout << "JUCE shows " << name << " = " << parameter->getCurrentValueAsText() << " (" << parameter->getValue()
              << "); the plug-in holds " << controller.Text(*parameter, held) << " (" << held << ")\n";
    EXPECT_EQ(parameter->getValue(), static_cast<float>(held)) << name;
    EXPECT_EQ(parameter->getValue(), parameter->getDefaultValue()) << name << " is not at its default";
    EXPECT_EQ(parameter->getCurrentValueAsText(), controller.Text(*parameter, held)) << name;
  }
  // The effect starts at 0 dB; an empty cache would show the bottom of the range.
  EXPECT_EQ(FindParameter(*plugin, "OUTPUT")->getCurrentValueAsText(), "0.00");
}

TEST(JuceHost, ProjectReloadShowsTheRestoredValuesAndPlaysTheSame) {
  const Planar input = TestSignal(2);
  const struct {
    const char* name;
    float value;
  } settings[] = {{"FADE", 0.5f}, {"CHOP", 0.5f}, {"DRY", 0.25f}, {"OUTPUT", 0.75f}};

  auto saved = Load();
  ASSERT_TRUE(saved && Prepare(*saved, 2, 512));
  for (const auto& setting : settings) {
    auto* parameter = FindParameter(*saved, setting.name);
    ASSERT_NE(parameter, nullptr) << setting.name;
    ASSERT_NE(parameter->getDefaultValue(), setting.value) << setting.name;
    parameter->setValue(setting.value);
  }
  const Planar savedAudio = Render(*saved, input, 512);
  juce::MemoryBlock state;
  saved->getStateInformation(state);
  ASSERT_GT(state.getSize(), 0u);

  auto restored = Load();
  ASSERT_TRUE(restored);
  restored->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
  SettleMessages();
  ASSERT_TRUE(Prepare(*restored, 2, 512));
  PluginController controller(*restored);
  ASSERT_TRUE(controller.Valid());
  for (const char* name : kKnobs) {
    auto* before = FindParameter(*saved, name);
    auto* after = FindParameter(*restored, name);
    ASSERT_NE(after, nullptr) << name;
    std::cout << "after reload JUCE shows " << name << " = " << after->getCurrentValueAsText() << ", saved as "
              << before->getCurrentValueAsText() << "\n";
    EXPECT_NEAR(after->getValue(), before->getValue(), 1e-6) << name;
    EXPECT_EQ(after->getCurrentValueAsText(), before->getCurrentValueAsText()) << name;
    EXPECT_EQ(after->getValue(), static_cast<float>(controller.Value(*after))) << name;
  }
  EXPECT_EQ(DifferingFrames(Render(*restored, input, 512), savedAudio), 0);
}

// A program change processed on the audio thread, as in a DAW, loads the
// one preset, the defaults; JUCE must show them once its message thread has
// caught up. (JUCE lists no programs, as no unit names a program list, so the
// change goes through the program-change parameter itself.)
TEST(JuceHost, ProgramChangeShowsTheLoadedValues) {
  const Planar input = TestSignal(2);
  auto plugin = Load();
  ASSERT_TRUE(plugin && Prepare(*plugin, 2, 512));
  auto* program = FindParameter(*plugin, "Preset");
  ASSERT_NE(program, nullptr);
  for (const char* name : kKnobs) {
    auto* parameter = FindParameter(*plugin, name);
    ASSERT_NE(parameter, nullptr) << name;
    if (std::string(name) != "BY") parameter->setValue(0.6f);
  }
  Render(*plugin, input, 512);
  program->setValue(0.0f);
  const Planar oneBlock{{input[0].begin(), input[0].begin() + 512}, {input[1].begin(), input[1].begin() + 512}};
  std::thread audio([&] { Render(*plugin, oneBlock, 512); });
  audio.join();
  SettleMessages();
  PluginController controller(*plugin);
  ASSERT_TRUE(controller.Valid());
  for (const char* name : kKnobs) {
    auto* parameter = FindParameter(*plugin, name);
    const double held = controller.Value(*parameter);
    EXPECT_EQ(static_cast<float>(held), parameter->getDefaultValue())
        << name << ": the program did not load its defaults";
    EXPECT_EQ(parameter->getValue(), static_cast<float>(held)) << name;
    EXPECT_EQ(parameter->getCurrentValueAsText(), controller.Text(*parameter, held)) << name;
  }
}

TEST(JuceHost, StereoRenderEqualsTheHostToolAtEveryBlockSize) {
  const Planar input = TestSignal(2);
  for (int block : kBlockSizes) {
    const Planar juceOut = RenderInJuce(input, block);
    const Planar toolOut = RenderWithVelloxTool(input, block);
    EXPECT_EQ(DifferingFrames(juceOut, toolOut), 0) << "blocks of " << block;
  }
}

TEST(JuceHost, MonoRenderEqualsTheHostToolAndTheStereoLeftChannel) {
  const Planar stereo = TestSignal(2);
  const Planar mono{stereo[0]};
  for (int block : {512, 4096}) {
    const Planar juceMono = RenderInJuce(mono, block);
    EXPECT_EQ(DifferingFrames(juceMono, RenderWithVelloxTool(mono, block)), 0) << "blocks of " << block;
    const Planar juceStereo = RenderInJuce(stereo, block);
    ASSERT_EQ(juceStereo.size(), 2u);
    EXPECT_EQ(DifferingFrames(juceMono, Planar{juceStereo[0]}), 0) << "blocks of " << block;
  }
}

// The chopping follows the audio, not the host's block partition.
TEST(JuceHost, OutputIsTheSameAtEveryBlockSizeAndNeverSilent) {
  const Planar input = TestSignal(2);
  const Planar reference = RenderInJuce(input, kBlockSizes[0]);
  for (int block : kBlockSizes) {
    const Planar output = block == kBlockSizes[0] ? reference : RenderInJuce(input, block);
    EXPECT_GT(Peak(output), 0.25f * Peak(input)) << "blocks of " << block << " leave the output (near) silent";
    EXPECT_EQ(DifferingFrames(output, reference), 0) << "blocks of " << block << " against " << kBlockSizes[0];
  }
}

TEST(JuceHost, AutomationOnEveryBlockKeepsTheOutputFiniteAndBounded) {
  const Planar input = TestSignal(2);
  constexpr int kBlock = 256;
  auto plugin = Load();
  ASSERT_TRUE(plugin && Prepare(*plugin, 2, kBlock));
  std::vector<juce::AudioProcessorParameter*> knobs;
  for (const char* name : kKnobs) {
    knobs.push_back(FindParameter(*plugin, name));
    ASSERT_NE(knobs.back(), nullptr) << name;
  }
  std::mt19937 random(20240611);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<bool> bypassed;
  const Planar output = Render(*plugin, input, kBlock, [&](int) {
    for (size_t k = 0; k + 1 < knobs.size(); ++k) knobs[k]->setValue(unit(random));
    bypassed.push_back(unit(random) < 0.2f);
    knobs.back()->setValue(bypassed.back() ? 1.0f : 0.0f);
  });

  const double maxGain = std::pow(10.0, 10.0 / 20.0) * (1.0 + 1e-6);
  long unbounded = 0, bypassChanged = 0, bypassBlocks = 0;
  for (size_t i = 0; i < output[0].size(); ++i) {
    const bool byOn = bypassed[i / kBlock];
    bypassBlocks += byOn && i % kBlock == 0;
    for (size_t c = 0; c < 2; ++c) {
      const float in = input[c][i], out = output[c][i];
      if (!std::isfinite(out) || std::fabs(out) > std::fabs(in) * maxGain + 1e-9) ++unbounded;
      if (byOn && std::memcmp(&in, &out, sizeof(float)) != 0) ++bypassChanged;
    }
  }
  EXPECT_EQ(unbounded, 0) << "samples not finite or above the +10 dB bound";
  EXPECT_GT(bypassBlocks, 0);
  EXPECT_EQ(bypassChanged, 0) << "BY on must pass its blocks through bit for bit";
  PluginController controller(*plugin);
  ASSERT_TRUE(controller.Valid());
  for (auto* knob : knobs)
    EXPECT_NEAR(knob->getValue(), controller.Value(*knob), 1e-6) << knob->getName(64).toStdString();
}

// The host's engine stopped: values set from the host side reach the open
// editor, and an editor opened later shows the current values, pixel for
// pixel the picture `vellox snapshot` paints for the same settings.
TEST(JuceHost, TheEditorFollowsTheHostWithoutAudio) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "the editor needs an X display (tools/test.sh starts Xvfb)";
  auto plugin = Load();
  ASSERT_TRUE(plugin);
  struct Setting {
    const char* name;
    float value;
    std::string plain;
  };
  std::vector<Setting> settings = {{"FADE", 0.25f, "16.25"},
                                   {"CHOP", 0.5f, "0.61"},
                                   {"DRY", 0.75f, "0.75"},
                                   {"OUTPUT", 0.75f, "5"},
                                   {"BY", 1.0f, "1"}};
  const auto compare = [&](juce::AudioProcessorEditor& editor, const char* name) {
    std::vector<std::string> assignments;
    for (const auto& s : settings) assignments.push_back(std::string(s.name) + "=" + s.plain);
    const auto area = editor.getScreenBounds();
    const long differing =
        DifferingFromSnapshot(CaptureScreen(area), area.getWidth(), area.getHeight(), assignments, name);
    std::cout << name << ": JUCE's editor window (" << area.getWidth() << " x " << area.getHeight()
              << ") against vellox snapshot: " << differing << " pixels differ\n";
    EXPECT_EQ(differing, 0) << name;
  };

  auto editor = OpenEditor(*plugin);
  ASSERT_TRUE(editor);
  for (const auto& s : settings) FindParameter(*plugin, s.name)->setValueNotifyingHost(s.value);
  SettleEditor();
  compare(*editor, "juce-editor-set-while-open");

  editor.reset();
  SettleEditor();
  settings[3] = {"OUTPUT", 0.25f, "-5"};
  FindParameter(*plugin, "OUTPUT")->setValueNotifyingHost(0.25f);
  SettleEditor();
  editor = OpenEditor(*plugin);
  ASSERT_TRUE(editor);
  compare(*editor, "juce-editor-reopened");
  editor.reset();
  SettleEditor();
}

}  // namespace
}  // namespace vellox::juce_host

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  auto& paths = vellox::juce_host::Paths();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--vellox")
      paths.vellox = argv[i + 1];
    else if (option == "--bundle")
      paths.bundle = argv[i + 1];
    else if (option == "--scratch")
      paths.scratch = argv[i + 1];
  }
  if (paths.vellox.empty() || paths.bundle.empty() || paths.scratch.empty()) {
    std::cerr << "usage: " << argv[0] << " --vellox PATH --bundle Vellox.vst3 --scratch DIR [gtest options]\n";
    return 2;
  }
  juce::File(paths.scratch).createDirectory();
  juce::ScopedJuceInitialiser_GUI juce;
  return RUN_ALL_TESTS();
}
