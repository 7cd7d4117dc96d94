// Windows: the CLAP editor embedded in a host's window (HWND), as a CLAP host
// on Windows embeds it: it paints what the VST 3 editor paints, at each
// scale, and its window goes with the gui.
#include <gtest/gtest.h>

#include "clap_session.h"
#include "editor_frame.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "view_scale.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

std::string Module(const char* name) { return std::string(VELLOX_MODULE_DIR) + "/" + name; }

host::RgbaImage Vst3Editor(double scale) {
  std::string error;
  auto module = host::ModuleLibrary::Load(Module("Vellox.vst3"), error);
  auto instance = module ? host::PluginInstance::Create(*module, error) : nullptr;
  EXPECT_TRUE(instance) << error;
  host::RgbaImage image;
  if (!instance) return image;
  IPtr<IPlugView> view = owned(instance->Controller()->createView("editor"));
  if (scale != 1.0) {
    EXPECT_EQ(host::SetContentScale(*view, static_cast<float>(scale)), kResultOk);
  }
  ViewRect size{};
  EXPECT_EQ(view->getSize(&size), kResultOk);
  auto frame = host::EditorFrame::Create(size.getWidth(), size.getHeight(), error);
  EXPECT_TRUE(frame) << error;
  if (!frame) return image;
  EXPECT_EQ(view->attached(frame->Handle(), kPlatformTypeHWND), kResultOk);
  host::PumpTimerTicks(frame->EditorWindow(), 3, 3000);
  host::PumpMessages(100);
  EXPECT_TRUE(host::CaptureWindow(frame->Handle(), image, error)) << error;
  view->removed();
  return image;
}

class ClapEditorWinTest : public testing::TestWithParam<double> {};

TEST_P(ClapEditorWinTest, EmbedsTheEditorAsTheVst3ShowsIt) {
  const double scale = GetParam();
  const host::RgbaImage expected = Vst3Editor(scale);
  ASSERT_GT(expected.width, 0);
  ASSERT_NE(expected.Rgb(0, 0), expected.Rgb(expected.width / 2, expected.height / 2)) << "the editor painted nothing";

  std::string error;
  auto module = host::ModuleLibrary::Load(Module("Vellox.clap"), error);
  ASSERT_TRUE(module) << error;
  auto session = host::ClapSession::Create(module->ClapFactory(), error);
  ASSERT_TRUE(session) << error;
  const clap_plugin_t* plugin = session->Plugin();
  const clap_plugin_gui_t* gui = session->Gui();
  ASSERT_TRUE(gui && gui->create(plugin, CLAP_WINDOW_API_WIN32, false));
  ASSERT_TRUE(gui->set_scale(plugin, scale));
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(gui->get_size(plugin, &width, &height));
  EXPECT_EQ(int(width), expected.width);
  EXPECT_EQ(int(height), expected.height);
  auto frame = host::EditorFrame::Create(int(width), int(height), error);
  ASSERT_TRUE(frame) << error;
  clap_window_t window{};
  window.api = CLAP_WINDOW_API_WIN32;
  window.win32 = frame->Handle();
  ASSERT_TRUE(gui->set_parent(plugin, &window));
  ASSERT_TRUE(gui->show(plugin));
  ASSERT_NE(frame->EditorWindow(), nullptr);
  host::PumpTimerTicks(frame->EditorWindow(), 3, 3000);
  host::PumpMessages(100);
  host::RgbaImage shown;
  ASSERT_TRUE(host::CaptureWindow(frame->Handle(), shown, error)) << error;
  EXPECT_EQ(shown.width, expected.width);
  EXPECT_EQ(shown.height, expected.height);
  EXPECT_TRUE(shown.pixels == expected.pixels) << "the CLAP editor differs from the VST 3 editor at scale " << scale;
  gui->destroy(plugin);
  EXPECT_EQ(frame->EditorWindow(), nullptr) << "the editor window outlived the gui";
  EXPECT_EQ(session->Violations(), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, ClapEditorWinTest, testing::Values(1.0, 2.0));

}  // namespace
}  // namespace vellox::test
