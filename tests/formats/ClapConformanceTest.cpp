// What a CLAP validator checks, against the built Vellox.clap through the
// tool's strict host session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "clap_session.h"
#include "module_library.h"

namespace vellox::test {
namespace {

using host::ClapSession;

class ClapConformanceTest : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    mModule = host::ModuleLibrary::Load(std::string(VELLOX_MODULE_DIR) + "/Vellox.clap", error);
    ASSERT_TRUE(mModule) << error;
    mSession = ClapSession::Create(mModule->ClapFactory(), error);
    ASSERT_TRUE(mSession) << error;
    mPlugin = mSession->Plugin();
    mParams = mSession->Params();
  }
  void TearDown() override {
    if (mSession) {
      EXPECT_EQ(mSession->Violations(), 0) << "host calls from a thread the headers do not allow";
    }
    mSession.reset();
    mModule.reset();
  }

  std::vector<clap_param_info_t> AllParams() const {
    std::vector<clap_param_info_t> all(mParams->count(mPlugin));
    for (uint32_t i = 0; i < all.size(); ++i) EXPECT_TRUE(mParams->get_info(mPlugin, i, &all[i]));
    return all;
  }

  // Renders `blocks` blocks of a steady stereo sine; returns the output.
  std::vector<float> Run(int blocks, uint32_t frames = 256) {
    std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames), all;
    void* in[] = {inL.data(), inR.data()};
    void* out[] = {outL.data(), outR.data()};
    for (int b = 0; b < blocks; ++b) {
      for (uint32_t i = 0; i < frames; ++i) inL[i] = inR[i] = float(std::sin(0.05 * (b * frames + i)));
      EXPECT_EQ(mSession->Process(in, out, frames), CLAP_PROCESS_CONTINUE);
      all.insert(all.end(), outL.begin(), outL.end());
    }
    return all;
  }

  std::unique_ptr<host::ModuleLibrary> mModule;
  std::unique_ptr<ClapSession> mSession;
  const clap_plugin_t* mPlugin = nullptr;
  const clap_plugin_params_t* mParams = nullptr;
};

// Every step of a stepped parameter and a spread of continuous values: the
// text of a value reads back as that value.
TEST_F(ClapConformanceTest, EveryValueTextReadsBackAsItsValue) {
  for (const clap_param_info_t& info : AllParams()) {
    ASSERT_LT(info.min_value, info.max_value) << info.name;
    EXPECT_GE(info.default_value, info.min_value) << info.name;
    EXPECT_LE(info.default_value, info.max_value) << info.name;
    const bool stepped = info.flags & CLAP_PARAM_IS_STEPPED;
    const int points = stepped ? int(info.max_value - info.min_value) : 20;
    for (int k = 0; k <= points; ++k) {
      const double value =
          stepped ? info.min_value + k : info.min_value + (info.max_value - info.min_value) * k / points;
      char text[CLAP_NAME_SIZE] = {};
      ASSERT_TRUE(mParams->value_to_text(mPlugin, info.id, value, text, sizeof text)) << info.name;
      double back = NAN;
      ASSERT_TRUE(mParams->text_to_value(mPlugin, info.id, text, &back)) << info.name << " \"" << text << "\"";
      char again[CLAP_NAME_SIZE] = {};
      ASSERT_TRUE(mParams->value_to_text(mPlugin, info.id, back, again, sizeof again));
      EXPECT_STREQ(again, text) << info.name;
      // Texts round to the parameter's step: the value comes back within it.
      EXPECT_NEAR(back, value, stepped ? 0.0 : 0.005 * (1 + std::fabs(value))) << info.name << " \"" << text << "\"";
    }
    double ignored = 0.0;
    EXPECT_FALSE(mParams->text_to_value(mPlugin, info.id, "not a value", &ignored)) << info.name;
  }
  double value = 0.0;
  EXPECT_FALSE(mParams->get_value(mPlugin, 0x7fff0000, &value));
}

// A state saved, values changed, the state loaded: every value comes back;
// broken states change nothing.
TEST_F(ClapConformanceTest, StateRoundTripsAndBrokenStatesAreRefused) {
  const std::vector<clap_param_info_t> all = AllParams();
  for (const auto& info : all) mSession->QueueValue(info.id, info.max_value, 0);
  ASSERT_TRUE(mSession->Flush());
  std::vector<uint8_t> saved;
  ASSERT_TRUE(mSession->SaveState(saved));
  for (const auto& info : all) mSession->QueueValue(info.id, info.min_value, 0);
  ASSERT_TRUE(mSession->Flush());
  ASSERT_TRUE(mSession->LoadState(saved));
  for (const auto& info : all) {
    double value = NAN;
    ASSERT_TRUE(mParams->get_value(mPlugin, info.id, &value));
    EXPECT_EQ(value, info.max_value) << info.name;
  }
  EXPECT_GE(mSession->Rescans(), 1) << "the host hears that the values changed";

  std::vector<std::vector<uint8_t>> broken = {{}, {saved.begin(), saved.begin() + 7}};
  broken.push_back({saved.begin(), saved.end() - 1});  // an extension cut short
  std::vector<uint8_t> foreign = saved;
  foreign[foreign.size() > 44 ? 44 : 0] ^= 0x5a;  // the extension's tag is not ours
  broken.push_back(foreign);
  std::vector<uint8_t> longer = saved;
  longer.resize(saved.size() + 100000, 0);
  broken.push_back(longer);
  for (const auto& info : all) mSession->QueueValue(info.id, info.min_value, 0);
  ASSERT_TRUE(mSession->Flush());
  std::vector<uint8_t> before, after;
  ASSERT_TRUE(mSession->SaveState(before));
  for (size_t i = 0; i < broken.size(); ++i) {
    EXPECT_FALSE(mSession->LoadState(broken[i])) << "broken state " << i;
    ASSERT_TRUE(mSession->SaveState(after));
    EXPECT_EQ(after, before) << "broken state " << i << " changed values";
  }
}

// Processing with the transport and without it, then activated and
// deactivated again and again: every block processes, and a start repeated
// on a fresh activation sounds the same.
TEST_F(ClapConformanceTest, ProcessesWithAndWithoutTransportAcrossActivations) {
  host::ClapProcessConfig config;
  std::vector<float> first;
  for (int round = 0; round < 4; ++round) {
    config.sampleRate = round % 2 ? 48000.0 : 44100.0;
    config.channels = round == 2 ? 1 : 2;
    std::string error;
    ASSERT_TRUE(mSession->Start(config, error)) << error;
    mSession->SendTransport(round != 1);
    if (config.channels == 1) {
      mSession->Stop();
      continue;
    }
    const std::vector<float> out = Run(20);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
    if (round == 0) first = out;
    mSession->Stop();
  }
  std::string error;
  config = {};
  // While inactive a flush hands values over at once.
  mSession->QueueValue(0, AllParams()[0].max_value, 0);
  ASSERT_TRUE(mSession->Flush());
  double value = 0.0;
  ASSERT_TRUE(mParams->get_value(mPlugin, 0, &value));
  EXPECT_EQ(value, AllParams()[0].max_value);
  ASSERT_TRUE(mSession->Start(config, error)) << error;
  EXPECT_FALSE(mSession->Flush()) << "no flush while processing";
  mSession->Stop();
  EXPECT_FALSE(first.empty());
}

// The gui extension: the platform's embedded window type only, a size at
// scale 1 and twice it at scale 2.
TEST_F(ClapConformanceTest, GuiReportsItsSizeAtEachScale) {
  const clap_plugin_gui_t* gui = mSession->Gui();
  ASSERT_NE(gui, nullptr);
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(mPlugin, &api, &floating));
  EXPECT_FALSE(floating);
  EXPECT_TRUE(gui->is_api_supported(mPlugin, api, false));
  EXPECT_FALSE(gui->is_api_supported(mPlugin, api, true));
  EXPECT_FALSE(gui->is_api_supported(mPlugin, "cocoa", false));
  ASSERT_TRUE(gui->create(mPlugin, api, false));
  uint32_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  ASSERT_TRUE(gui->get_size(mPlugin, &w1, &h1));
  EXPECT_GT(w1, 0u);
  EXPECT_GT(h1, 0u);
  EXPECT_FALSE(gui->can_resize(mPlugin));
  ASSERT_TRUE(gui->set_scale(mPlugin, 2.0));
  ASSERT_TRUE(gui->get_size(mPlugin, &w2, &h2));
  EXPECT_EQ(w2, 2 * w1);
  EXPECT_EQ(h2, 2 * h1);
  EXPECT_FALSE(gui->set_scale(mPlugin, 0.0));
  EXPECT_TRUE(gui->set_size(mPlugin, w2, h2));
  EXPECT_FALSE(gui->set_size(mPlugin, w2 + 1, h2));
  gui->destroy(mPlugin);
}

// The effect takes note-ons (the pattern's restart): one note input, none out.
TEST_F(ClapConformanceTest, OffersOneNoteInput) {
  const auto* notes =
      static_cast<const clap_plugin_note_ports_t*>(mPlugin->get_extension(mPlugin, CLAP_EXT_NOTE_PORTS));
  ASSERT_NE(notes, nullptr);
  ASSERT_EQ(notes->count(mPlugin, true), 1u);
  EXPECT_EQ(notes->count(mPlugin, false), 0u);
  clap_note_port_info_t info{};
  ASSERT_TRUE(notes->get(mPlugin, 0, true, &info));
  EXPECT_TRUE(info.supported_dialects & CLAP_NOTE_DIALECT_MIDI);
  EXPECT_FALSE(notes->get(mPlugin, 1, true, &info));
}

// The host's thread check answers as the thread is, and the plug-in keeps
// main-thread calls to the main thread.
TEST_F(ClapConformanceTest, ThreadCheckAnswersAsTheThreadIs) {
  EXPECT_TRUE(mSession->IsMainThread());
  EXPECT_FALSE(mSession->IsAudioThread());
  bool main = true, audio = false, saved = true;
  std::vector<uint8_t> bytes;
  mSession->OnAudioThread([&] {
    main = mSession->IsMainThread();
    audio = mSession->IsAudioThread();
    saved = mSession->SaveState(bytes);
  });
  EXPECT_FALSE(main);
  EXPECT_TRUE(audio);
  EXPECT_FALSE(saved) << "the plug-in saved its state on the audio thread";
  EXPECT_TRUE(mSession->SaveState(bytes));
}

}  // namespace
}  // namespace vellox::test
