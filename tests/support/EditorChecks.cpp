#include "EditorChecks.h"

#include <gtest/gtest.h>

#include <vector>

#include "plugin_instance.h"

namespace vellox::test {

void ExpectEditorShows(const host::RgbaImage& shown, const EditorValues& values) {
  host::RgbaImage expected;
  std::string error;
  ASSERT_TRUE(ExpectedEditor(values, expected, error)) << error;
  ASSERT_EQ(shown.width, kEditorWidth);
  ASSERT_EQ(shown.height, kEditorHeight);
  for (const ControlRect& rect : kControlRects) {
    std::string first;
    EXPECT_EQ(DifferingPixels(shown, expected, rect, &first), 0)
        << rect.name << " at value " << values[rect.param] << ": " << first;
  }
  // Around the cycle display: above, left, right and below it.
  const PanelBox& c = kCycleBox;
  const int parts[][4] = {{0, 0, kEditorWidth, c.top},
                          {0, c.top, c.left, c.bottom},
                          {c.right, c.top, kEditorWidth, c.bottom},
                          {0, c.bottom, kEditorWidth, kEditorHeight}};
  for (const auto& part : parts) {
    std::string first;
    EXPECT_EQ(DifferingPixels(shown, expected, part[0], part[1], part[2], part[3], &first), 0) << "editor: " << first;
  }
}

void AutomateOneBlock(host::PluginInstance& instance, Steinberg::Vst::ParamID id, double normalized, int frames) {
  ASSERT_TRUE(instance.QueueChange(id, normalized));
  std::vector<float> in(static_cast<size_t>(frames) * 2, 0.0f), out(static_cast<size_t>(frames) * 2, 0.0f);
  float* inputs[] = {in.data(), in.data() + frames};
  float* outputs[] = {out.data(), out.data() + frames};
  ASSERT_EQ(instance.Process(inputs, outputs, frames), Steinberg::kResultOk);
}

void SaveEditorPicture(const host::RgbaImage& image, const std::string& directory, const std::string& name) {
  std::string error;
  EXPECT_TRUE(host::WritePngFile(image, directory + "/" + name, error)) << error;
}

}  // namespace vellox::test
