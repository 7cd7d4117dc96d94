// The CLAP editor embedded in a real X window on the host's run loop, as a
// CLAP host on Linux embeds it: it looks as the VST 3 editor looks, at every
// scale, and leaves nothing registered behind.
#include <gtest/gtest.h>

#include "clap_session.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "snapshot_x11_host.h"
#include "view_scale.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

constexpr int kFrameX = 220, kFrameY = 380;

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
  auto frame = host::X11EditorFrame::Create(size.getWidth(), size.getHeight(), kFrameX, kFrameY, error);
  EXPECT_TRUE(frame) << error;
  if (!frame) return image;
  host::X11RunLoop loop;
  view->setFrame(&loop);
  EXPECT_EQ(view->attached(frame->ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  loop.RunTicks(3, 3000);
  loop.RunUntilQuiet(20, 500);
  frame->Sync();
  EXPECT_TRUE(frame->Capture(image, error)) << error;
  view->removed();
  view->setFrame(nullptr);
  return image;
}

class ClapEditorX11Test : public testing::TestWithParam<double> {
protected:
  void SetUp() override {
    if (!host::DisplayAnswers()) GTEST_SKIP() << "no X display (tools/test.sh runs these tests on a private Xvfb)";
  }
};

TEST_P(ClapEditorX11Test, EmbedsTheEditorAsTheVst3ShowsIt) {
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
  ASSERT_TRUE(gui && gui->create(plugin, CLAP_WINDOW_API_X11, false));
  ASSERT_TRUE(gui->set_scale(plugin, scale));
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(gui->get_size(plugin, &width, &height));
  EXPECT_EQ(int(width), expected.width);
  EXPECT_EQ(int(height), expected.height);
  auto frame = host::X11EditorFrame::Create(int(width), int(height), kFrameX, kFrameY, error);
  ASSERT_TRUE(frame) << error;
  clap_window_t window{};
  window.api = CLAP_WINDOW_API_X11;
  window.x11 = frame->Window();
  ASSERT_TRUE(gui->set_parent(plugin, &window));
  ASSERT_TRUE(gui->show(plugin));
  EXPECT_EQ(frame->Children().size(), 1u);
  EXPECT_GE(session->Timers(), 1u) << "the editor's repaint timer runs on the host's timers";
  EXPECT_GE(session->Descriptors(), 1u) << "the editor's X connection is watched by the host";
  session->PumpGui(400);
  frame->Sync();
  host::RgbaImage shown;
  ASSERT_TRUE(frame->Capture(shown, error)) << error;
  EXPECT_EQ(shown.width, expected.width);
  EXPECT_EQ(shown.height, expected.height);
  EXPECT_TRUE(shown.pixels == expected.pixels) << "the CLAP editor differs from the VST 3 editor at scale " << scale;

  gui->destroy(plugin);
  frame->Sync();
  EXPECT_TRUE(frame->Children().empty()) << "the editor window outlived the gui";
  EXPECT_EQ(session->Timers(), 0u);
  EXPECT_EQ(session->Descriptors(), 0u);
  EXPECT_EQ(session->Violations(), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, ClapEditorX11Test, testing::Values(1.0, 2.0));

}  // namespace
}  // namespace vellox::test
