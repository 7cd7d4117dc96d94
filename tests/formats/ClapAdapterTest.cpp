// The CLAP adapter around a small effect of its own: a flush while inactive
// sets values without audio, and the editor's program choice reaches the host.
// Values and notes at their frames are proven by the cross-format renders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IEffectClap.h"

namespace vellox::test {
namespace {

// One GAIN parameter that scales the input.
class GainEffect : public IEffectClap {
public:
  GainEffect() : IEffectClap(1, "1-1 2-2", 2, "Gain", "", "Maker", 1, 1, 1, kAdapterVst3, 0, false, true) {
    GetParam(0)->Define("GAIN", 1.0, 0.0, 2.0, 0.01);
  }
  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    for (int c = 0; c < NOutChannels(); ++c)
      for (int i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i] * GetParam(0)->Value();
  }
};

struct Events {
  std::vector<const clap_event_header_t*> list;
  static uint32_t Size(const clap_input_events_t* e) { return uint32_t(static_cast<Events*>(e->ctx)->list.size()); }
  static const clap_event_header_t* Get(const clap_input_events_t* e, uint32_t i) {
    return static_cast<Events*>(e->ctx)->list[i];
  }
};

clap_event_param_value_t Value(uint32_t frame, double value) {
  clap_event_param_value_t e{};
  e.header = {sizeof e, frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  e.param_id = 0;
  e.value = value;
  return e;
}

TEST(ClapAdapter, AFlushWhileInactiveSetsTheValue) {
  const clap_host_t host = {CLAP_VERSION,
                            nullptr,
                            "test",
                            "",
                            "",
                            "1",
                            [](const clap_host_t*, const char*) -> const void* { return nullptr; },
                            [](const clap_host_t*) {},
                            [](const clap_host_t*) {},
                            [](const clap_host_t*) {}};
  auto* effect = new GainEffect();
  effect->BindClap(&host, nullptr);
  const clap_plugin_t* plugin = effect->ClapPlugin();
  ASSERT_TRUE(plugin->init(plugin));

  // Inactive: a flush sets the value at once.
  const auto* params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  ASSERT_NE(params, nullptr);
  const clap_event_param_value_t half = Value(0, 0.5);
  Events flushed{{&half.header}};
  const clap_input_events_t flushIn = {&flushed, Events::Size, Events::Get};
  params->flush(plugin, &flushIn, nullptr);
  double value = 0.0;
  ASSERT_TRUE(params->get_value(plugin, 0, &value));
  EXPECT_EQ(value, 0.5);
  ASSERT_NE(plugin->get_extension(plugin, CLAP_EXT_NOTE_PORTS), nullptr) << "an effect with MIDI input has note ports";

  plugin->destroy(plugin);
}

// Programs of GAIN, the first one quiet; the host hears of each program the editor picks.
class ProgramsEffect : public GainEffect {
public:
  ProgramsEffect() {
    GetParam(0)->SetValue(0.25);
    CaptureFreePreset("quiet");
    GetParam(0)->SetValue(1.0);
  }
};

int gRescans = 0;

TEST(ClapAdapter, AProgramPickedInTheEditorIsLoadedAndTheHostRescans) {
  static const clap_host_params_t hostParams = {[](const clap_host_t*, clap_param_rescan_flags) { ++gRescans; },
                                                [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
                                                [](const clap_host_t*) {}};
  const clap_host_t host = {CLAP_VERSION,
                            nullptr,
                            "test",
                            "",
                            "",
                            "1",
                            [](const clap_host_t*, const char* id) -> const void* {
                              return std::string(id) == CLAP_EXT_PARAMS ? &hostParams : nullptr;
                            },
                            [](const clap_host_t*) {},
                            [](const clap_host_t*) {},
                            [](const clap_host_t*) {}};
  auto* effect = new ProgramsEffect();
  effect->BindClap(&host, nullptr);
  const clap_plugin_t* plugin = effect->ClapPlugin();
  ASSERT_TRUE(plugin->init(plugin));
  const int quiet = 0;  // the first free program
  gRescans = 0;
  EXPECT_FALSE(effect->EditProgram(effect->NPresets()));
  EXPECT_EQ(gRescans, 0);
  ASSERT_TRUE(effect->EditProgram(quiet));
  EXPECT_EQ(effect->GetParam(0)->Value(), 0.25);
  EXPECT_EQ(effect->CurrentPresetIndex(), quiet);
  EXPECT_EQ(gRescans, 1);
  plugin->destroy(plugin);
}

}  // namespace
}  // namespace vellox::test
