// The LV2 adapter around a small effect of its own: a program the editor
// picks moves the host's control ports to its values.
#include <gtest/gtest.h>

#include <map>

#include "IEffectLv2.h"

namespace vellox::test {
namespace {

class QuietProgramEffect : public IEffectLv2 {
public:
  QuietProgramEffect() : IEffectLv2(2, "1-1 2-2", 2, "Gain", "", "Maker", 1, 1, 1, kAdapterVst3, 0, false, true) {
    GetParam(0)->Define("GAIN", 1.0, 0.0, 2.0, 0.01);
    GetParam(1)->Define("TRIM", 0.0, -1.0, 1.0, 0.01);
    GetParam(0)->SetValue(0.25);
    GetParam(1)->SetValue(-0.5);
    CaptureFreePreset("quiet");  // the first program
    GetParam(0)->SetValue(1.0);
    GetParam(1)->SetValue(0.0);
  }
};

TEST(Lv2Adapter, AProgramPickedInTheEditorMovesTheHostsControls) {
  QuietProgramEffect effect;
  std::map<uint32_t, float> ports;
  const auto write = [](LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                        const void* buffer) {
    if (size == sizeof(float) && format == 0)
      (*static_cast<std::map<uint32_t, float>*>(controller))[port] = *static_cast<const float*>(buffer);
  };
  effect.BindUiWriter(write, &ports);
  EXPECT_FALSE(effect.EditProgram(2));
  EXPECT_TRUE(ports.empty());
  ASSERT_TRUE(effect.EditProgram(0));
  EXPECT_EQ(effect.GetParam(0)->Value(), 0.25);
  EXPECT_EQ(ports[0], 0.25f);
  EXPECT_EQ(ports[1], -0.5f);
  EXPECT_EQ(ports.size(), 2u);
}

}  // namespace
}  // namespace vellox::test
