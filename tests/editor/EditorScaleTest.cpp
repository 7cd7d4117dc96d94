// The editor at a content scale in a Windows host, through the shared scale proof.
#include "CliRunner.h"
#include "EditorHostFixture.h"

namespace vellox::test {
namespace {

class EditorScaleTest : public EditorHostTest {
protected:
  bool NewFrame(int width, int height, std::string& error) override {
    frame_ = host::EditorFrame::Create(width, height, error);
    return bool(frame_);
  }

  void RunSnapshotTool(double scale, const std::string& out) override {
    std::vector<std::string> args = {"snapshot", "--scale",  std::to_string(scale), "--out",
                                     out,        "--plugin", VELLOX_BUNDLE_PATH};
    for (const std::string& setting : snapshotSettings_) args.insert(args.end(), {"--set", setting});
    const CliResult r = RunVellox(args);
    EXPECT_EQ(r.code, 0) << r.err;
  }

  void ExpectWindowSize(int width, int height) override {
    RECT client{};
    ASSERT_TRUE(GetClientRect(Editor(), &client));
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
  }

  void SendGestures(int scale) override {
    SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, 240 * scale, 100 * scale);
    SendPointer(WM_MOUSEMOVE, MK_LBUTTON, 240 * scale, 60 * scale);
    SendPointer(WM_LBUTTONUP, 0, 240 * scale, 60 * scale);
    Wheel(390 * scale, 75 * scale, WHEEL_DELTA);
    SendMessageA(Editor(), WM_MOUSELEAVE, 0, 0);
  }

  struct ReferenceFrame : Steinberg::IPlugFrame {
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override {
      return owner->ResizeLikeReferenceHost(view, newSize);
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override {
      *obj = nullptr;
      return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 2; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
    EditorModuleTest* owner = nullptr;
  } reference_;
  std::unique_ptr<host::EditorFrame> second_;

  host::EditorFrame& FrameAt(int index) { return index == 0 ? Frame() : *second_; }
  Steinberg::IPlugFrame* HostFrame() override {
    reference_.owner = this;
    return &reference_;
  }
  void* Parent(int index) override { return index < 2 ? FrameAt(index).Handle() : nullptr; }
  Steinberg::FIDString WindowType() override { return Steinberg::kPlatformTypeHWND; }
  bool NewSecondFrame(int width, int height, std::string& error) override {
    second_ = host::EditorFrame::Create(width, height, error);
    if (second_)
      SetWindowPos(second_->Handle(), nullptr, 0, 2 * kEditorHeight + 8, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    host::PumpMessages(50);
    return bool(second_);
  }
  void ExpectEditorIn(int index, int width, int height) override {
    EXPECT_TRUE(!second_ || !FrameAt(1 - index).EditorWindow()) << "an editor window in the other frame";
    RECT client{};
    ASSERT_TRUE(GetClientRect(FrameAt(index).EditorWindow(), &client)) << "no editor window in frame " << index;
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
  }
  host::RgbaImage CaptureFrame(int index) override {
    host::RgbaImage image;
    HWND editor = FrameAt(index).EditorWindow();
    EXPECT_EQ(editor ? host::PumpTimerTicks(editor, 2, 10000) : 0, 2) << "the repaint timer did not run";
    std::string error;
    EXPECT_TRUE(host::CaptureWindow(FrameAt(index).Handle(), image, error)) << error;
    return image;
  }
  void ClickDevice(int x, int y) override { Click(x, y); }
  void WheelDevice(int index, int x, int y) override {
    HWND editor = FrameAt(index).EditorWindow();
    POINT screen{x, y};
    ClientToScreen(editor, &screen);
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x & 0xFFFF, screen.y & 0xFFFF));
  }
  void SpoilAndExpose(int x, int y, int width, int height) override {
    RECT spoilt{x, y, x + width, y + height};
    HDC dc = GetDC(Editor());
    FillRect(dc, &spoilt, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(Editor(), dc);
    InvalidateRect(Editor(), &spoilt, FALSE);
    UpdateWindow(Editor());
  }
  void TearDown() override {
    EXPECT_TRUE(!second_ || !second_->EditorWindow()) << "an editor window outlived its view";
    second_.reset();
    EditorHostTest::TearDown();
  }
};

TEST_F(EditorScaleTest, AtTwiceTheScaleTheWindowIsTheSnapshotAndGesturesMakeTheSameEdits) {
  ExpectScaleTwoIsTheSnapshot("win_scale_2.png");
}

TEST_F(EditorScaleTest, EveryFactorFromOneToThreeSizesTheFrameAndShowsAndHitsAsTheSnapshot) {
  ExpectEveryFactorFromOneToThree();
}

TEST_F(EditorScaleTest, TwoViewsKeepTheirOwnFactorsInEveryOrderAHostTakesThemDown) { ExpectEveryViewOrder(); }

TEST_F(EditorScaleTest, APatternShowsAsTheSnapshotAtOneOneAndAHalfAndTwo) {
  ExpectPatternShownAsTheSnapshotAtEachScale();
}

TEST_F(EditorScaleTest, ThePlayheadFollowsTheProcessedAudioAndStaysWhenItStops) { ExpectPlayheadFollowsTheAudio(); }

TEST_F(EditorScaleTest, ProgramButtonsStepThroughTheBankAndHostChangesShowAtOnce) {
  ExpectProgramButtonsStepThroughTheBank();
}

}  // namespace
}  // namespace vellox::test
