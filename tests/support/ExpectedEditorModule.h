#pragma once
// What the editor fixtures of both window layers share: the built module
// loaded from the bundle and started through the host library, with a
// recording component handler, and the editor checks on that instance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "EditorChecks.h"
#include "module_library.h"
#include "plugin_instance.h"
#include "pluginterfaces/gui/iplugview.h"
#include "RecordingHandler.h"
#include "rgba_image.h"
#include "view_scale.h"

namespace vellox::test {

class EditorModuleTest : public testing::Test {
protected:
  static constexpr int kBlockFrames = 64;

  // The window layer's part: a view attached to its frame, and taken down
  // again; the frame's pixels after the editor's timer ran `ticks` times.
  virtual Steinberg::IPtr<Steinberg::IPlugView> OpenView() = 0;
  virtual void CloseView(Steinberg::IPtr<Steinberg::IPlugView>& view) = 0;
  virtual host::RgbaImage CaptureAfterTicks(int ticks = 2) = 0;

  void StartModule() {
    std::string error;
    module_ = host::ModuleLibrary::Load(VELLOX_BUNDLE_PATH, error);
    ASSERT_TRUE(module_) << error;
    instance_ = host::PluginInstance::Create(*module_, error);
    ASSERT_TRUE(instance_) << error;
    host::ProcessConfig config;
    config.maxBlock = kBlockFrames;
    ASSERT_TRUE(instance_->Start(config, error)) << error;
    ASSERT_EQ(Controller().setComponentHandler(&handler_), Steinberg::kResultOk);
  }

  Steinberg::Vst::IEditController& Controller() const { return *instance_->Controller(); }
  void SaveArtifact(const host::RgbaImage& image, const std::string& name) const {
    SaveEditorPicture(image, VELLOX_ARTIFACT_DIR, name);
  }
  // Expects every pixel of the picture to be the editor for `values`.
  void ExpectShows(const host::RgbaImage& shown, const EditorValues& values) const { ExpectEditorShows(shown, values); }
  // One processed block that carries the value as host automation.
  void Automate(Steinberg::Vst::ParamID id, double normalized) {
    AutomateOneBlock(*instance_, id, normalized, kBlockFrames);
  }

  // OUTPUT automated by the host shows its new frame within two ticks and
  // comes back as no edit.
  void ExpectHostAutomationShown(const std::string& artifact) {
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    const host::RgbaImage before = CaptureAfterTicks();
    ExpectShows(before, kDefaultValues);

    Automate(kOutput, 0.9);
    const host::RgbaImage after = CaptureAfterTicks(2);
    SaveArtifact(after, artifact);
    EditorValues values = kDefaultValues;
    values[kOutput] = 0.9;
    ExpectShows(after, values);
    EXPECT_GT(DifferingPixels(before, after, RectOf(kOutput)), 100);
    EXPECT_TRUE(handler_.events.empty()) << "host automation came back as an edit: " << handler_.events.front();
    CloseView(view);
  }

  // For the content-scale proof, the window layer's part: a frame of this
  // size, the built tool writing its picture at this scale to `out`, the
  // editor window's size, and FADE dragged up 40 editor pixels and a wheel
  // notch on CHOP, in device pixels.
  virtual bool NewFrame(int, int, std::string&) { return false; }
  virtual void RunSnapshotTool(double, const std::string&) {}
  virtual void ExpectWindowSize(int, int) {}
  virtual void SendGestures(int) {}

  host::RgbaImage Snapshot(double scale) {
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/scale_snapshot_" + std::to_string(scale) + ".png";
    RunSnapshotTool(scale, out);
    host::RgbaImage image;
    std::string error;
    EXPECT_TRUE(host::ReadPngFile(out, image, error)) << error;
    return image;
  }

  void SetScale(Steinberg::IPlugView& view, int scale) {
    ASSERT_EQ(host::SetContentScale(view, float(scale)), Steinberg::kResultOk);
    Steinberg::ViewRect size{};
    ASSERT_EQ(view.getSize(&size), Steinberg::kResultOk);
    EXPECT_EQ(size.getWidth(), kEditorWidth * scale);
    EXPECT_EQ(size.getHeight(), kEditorHeight * scale);
    ExpectWindowSize(kEditorWidth * scale, kEditorHeight * scale);
  }

  std::vector<HostEvent> Gestures(int scale) {
    Automate(kFade, 0.0);
    Automate(kChop, 0.0);
    CaptureAfterTicks();
    handler_.events.clear();
    SendGestures(scale);
    return handler_.events;
  }

  // At 2 the window shows exactly what `vellox snapshot --scale 2` paints, the
  // same pointer gestures (in device pixels) make the same host edits as at 1,
  // and a new factor while attached resizes the window and repaints it.
  void ExpectScaleTwoIsTheSnapshot(const std::string& artifact) {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    for (float refused : {0.5f, 0.99f, 3.01f, 8.0f})
      EXPECT_EQ(host::SetContentScale(*view, refused), Steinberg::kResultFalse);

    SetScale(*view, 2);
    const host::RgbaImage twice = Snapshot(2);
    host::RgbaImage shown = CaptureAfterTicks();
    SaveArtifact(shown, artifact);
    std::string first;
    EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;

    const std::vector<HostEvent> atTwo = Gestures(2);
    SetScale(*view, 1);
    const std::vector<HostEvent> atOne = Gestures(1);
    EXPECT_EQ(atTwo, atOne);
    ASSERT_GE(atOne.size(), 5u);
    EXPECT_EQ(atOne[1], Perform(kFade, 40.0 / 97.0 / 4.0));

    // Back at the defaults, each change of factor repaints the whole editor.
    Automate(kFade, 0.0);
    Automate(kChop, 0.0);
    shown = CaptureAfterTicks();
    EXPECT_EQ(DifferingPixels(shown, Snapshot(1), 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;
    SetScale(*view, 2);
    shown = CaptureAfterTicks();
    EXPECT_EQ(DifferingPixels(shown, twice, 0, 0, 2 * kEditorWidth, 2 * kEditorHeight, &first), 0) << first;
    CloseView(view);
  }

public:
  struct HostFrameRecord {
    Steinberg::IPlugView* view = nullptr;
    int width = 0, height = 0, requests = 0;
  };
  // The reference host's resizeView: nothing happens unless getSize differs
  // from the request; otherwise the frame takes that size and the view hears onSize.
  Steinberg::tresult ResizeLikeReferenceHost(Steinberg::IPlugView* view, Steinberg::ViewRect* wanted) {
    if (!view || !wanted) return Steinberg::kInvalidArgument;
    for (HostFrameRecord* frame : hostFrames_) {
      if (frame->view != view) continue;
      ++frame->requests;
      Steinberg::ViewRect now{};
      if (view->getSize(&now) != Steinberg::kResultOk) return Steinberg::kInternalError;
      if (now.getWidth() == wanted->getWidth() && now.getHeight() == wanted->getHeight()) return Steinberg::kResultTrue;
      frame->width = wanted->getWidth();
      frame->height = wanted->getHeight();
    }
    return view->onSize(wanted);
  }

protected:
  // The window layer's part for frames 0 and 1, input in device pixels.
  virtual Steinberg::IPlugFrame* HostFrame() { return nullptr; }
  virtual void* Parent(int) { return nullptr; }
  virtual Steinberg::FIDString WindowType() { return ""; }
  virtual bool NewSecondFrame(int, int, std::string&) { return false; }
  virtual void ExpectEditorIn(int, int, int) {}
  virtual host::RgbaImage CaptureFrame(int) { return CaptureAfterTicks(); }
  virtual void ClickDevice(int, int) {}
  virtual void WheelDevice(int, int, int) {}
  // Paints black over the device rectangle and tells the editor it is exposed.
  virtual void SpoilAndExpose(int, int, int, int) {}

  static int DeviceOf(int v, double scale) { return int(std::lround(v * scale)); }

  // Opened as the reference host opens a view: frame sized from getSize, then
  // the screen's factor, then setFrame and attached().
  Steinberg::IPtr<Steinberg::IPlugView> OpenAsReferenceHost(HostFrameRecord& frame, double scale, int parent,
                                                            Steinberg::tresult expected = Steinberg::kResultOk) {
    Steinberg::IPtr<Steinberg::IPlugView> view = Steinberg::owned(Controller().createView("editor"));
    EXPECT_TRUE(view);
    if (!view) return view;
    Steinberg::ViewRect size{};
    EXPECT_EQ(view->getSize(&size), Steinberg::kResultOk);
    frame = {view.get(), size.getWidth(), size.getHeight(), 0};
    hostFrames_.push_back(&frame);
    EXPECT_EQ(host::SetContentScale(*view, float(scale)), Steinberg::kResultOk) << scale;
    view->setFrame(HostFrame());
    EXPECT_EQ(view->attached(Parent(parent), WindowType()), expected);
    return view;
  }
  // Without `remove` the host just lets go of the view.
  void CloseReferenceView(Steinberg::IPtr<Steinberg::IPlugView>& view, HostFrameRecord& frame, bool remove = true) {
    if (view && remove) {
      EXPECT_EQ(view->removed(), Steinberg::kResultOk);
      view->setFrame(nullptr);
    }
    view = nullptr;
    hostFrames_.erase(std::remove(hostFrames_.begin(), hostFrames_.end(), &frame), hostFrames_.end());
  }
  // Frame, editor window and picture of frame `index` all at `scale`.
  void ExpectShownAt(int index, const HostFrameRecord& frame, double scale, const host::RgbaImage& snapshot) {
    const int w = DeviceOf(kEditorWidth, scale), h = DeviceOf(kEditorHeight, scale);
    EXPECT_EQ(frame.width, w) << "at " << scale;
    EXPECT_EQ(frame.height, h) << "at " << scale;
    ExpectEditorIn(index, w, h);
    const host::RgbaImage shown = CaptureFrame(index);
    const int right = std::min({shown.width, snapshot.width, w}), bottom = std::min({shown.height, snapshot.height, h});
    std::string first;
    EXPECT_GT(right, 0);
    EXPECT_EQ(DifferingPixels(shown, snapshot, 0, 0, right, bottom, &first), 0) << "at " << scale << first;
  }

  // Settings the snapshot tool is given as --set NAME=VALUE, besides the defaults.
  std::vector<std::string> snapshotSettings_;

  // A pattern set by the host shows at 1, 1.5 and 2 exactly as the tool's
  // snapshot with the same settings: dimmed and lowered step bars, the
  // pattern's controls and the cycle's curve.
  void ExpectPatternShownAsTheSnapshotAtEachScale() {
    struct Setting {
      Steinberg::Vst::ParamID id;
      double normalized;
      const char* text;
    };
    const Setting pattern[] = {{7, 1.0, "PATTERN=on"},    {8, 11.0 / 15.0, "STEPS=12"}, {10, 0.0, "STEP 2=0"},
                               {13, 0.25, "STEP 5=0.25"}, {15, 0.75, "STEP 7=0.75"},    {26, 0.4, "SWING=30"},
                               {28, 1.0, "RETRIG=on"}};
    // All in the first block, as the tool gives them: the playhead then
    // stands where the tool's does.
    snapshotSettings_.clear();
    for (const Setting& s : pattern) {
      ASSERT_TRUE(instance_->QueueChange(s.id, s.normalized));
      snapshotSettings_.push_back(s.text);
    }
    std::vector<float> silence(kBlockFrames * 2, 0.0f), out(kBlockFrames * 2, 0.0f);
    float* inputs[] = {silence.data(), silence.data() + kBlockFrames};
    float* outputs[] = {out.data(), out.data() + kBlockFrames};
    ASSERT_EQ(instance_->Process(inputs, outputs, kBlockFrames), Steinberg::kResultOk);
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    for (double f : {1.0, 1.5, 2.0}) {
      const host::RgbaImage snapshot = Snapshot(f);
      HostFrameRecord frame;
      Steinberg::IPtr<Steinberg::IPlugView> view = OpenAsReferenceHost(frame, f, 0);
      ASSERT_TRUE(view);
      ExpectShownAt(0, frame, f, snapshot);
      if (f == 2.0) SaveArtifact(CaptureFrame(0), "pattern_panel_2x.png");
      CloseReferenceView(view, frame);
    }
    snapshotSettings_.clear();
  }

  // The playhead's column in the cycle display of a picture at scale 1, or
  // -1 (none) or -2 (more than one): it alone reaches the display's top row.
  static int DrawnPlayhead(const host::RgbaImage& image) {
    constexpr uint32_t kPlayheadRgb = 0xF4F5F7;
    int found = -1;
    for (int x = kCycleBox.left; x < kCycleBox.right; ++x)
      if (image.Rgb(x, kCycleBox.top) == kPlayheadRgb) found = found < 0 ? x - kCycleBox.left : -2;
    return found;
  }

  // With the pattern on and the host processing, the playhead stands where
  // the audio is after the frames processed (the free cycle, CHOP's default
  // 0.22 s at the host library's 44.1 kHz, its positions half a frame behind
  // its line), one tick after the block; with no processing it stays put.
  void ExpectPlayheadFollowsTheAudio() {
    constexpr Steinberg::Vst::ParamID kPatternId = 7;
    constexpr double kChopFrames = 0.22 * 44100.0;
    const auto expected = [&](double frames) {
      return int(std::fmod(frames + 0.5, kChopFrames) / kChopFrames * (kCycleBox.right - kCycleBox.left));
    };
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks()), -1) << "a playhead before any audio";
    Automate(kPatternId, 1.0);
    double frames = kBlockFrames;
    EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(1)), expected(frames));
    for (int blocks : {40, 1, 77, 150}) {
      SCOPED_TRACE(blocks);
      for (int i = 0; i < blocks; ++i) Automate(kPatternId, 1.0);
      frames += double(blocks) * kBlockFrames;
      EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(1)), expected(frames));
      EXPECT_EQ(DrawnPlayhead(CaptureAfterTicks(3)), expected(frames)) << "moved without audio";
    }
    EXPECT_TRUE(handler_.events.empty()) << "the playhead made an edit: " << handler_.events.front();
    CloseView(view);
  }

  // The program buttons step through the factory bank, wrapping around, each
  // step one gesture on the program parameter; the window then shows the
  // tool's snapshot of that program, and a program the host selects shows at once.
  void ExpectProgramButtonsStepThroughTheBank() {
    constexpr Steinberg::Vst::ParamID kProgramId = 0x70727374;
    constexpr double kLast = 12.0;
    constexpr int kNextX = 120, kPreviousX = 50, kButtonY = 251;
    using Events = std::vector<HostEvent>;
    Steinberg::IPtr<Steinberg::IPlugView> view = OpenView();
    CaptureAfterTicks(1);
    ClickDevice(kNextX, kButtonY);
    EXPECT_EQ(handler_.events, (Events{Begin(kProgramId), Perform(kProgramId, 1.0 / kLast), End(kProgramId)}));
    // The host hands the edit on to the audio, as the first block of the tool's picture.
    Automate(kProgramId, 1.0 / kLast);
    host::RgbaImage shown = CaptureAfterTicks();
    SaveArtifact(shown, "program_next.png");
    snapshotSettings_ = {"Preset=Straight 8ths"};
    const std::string out = std::string(VELLOX_ARTIFACT_DIR) + "/program_snapshot.png";
    RunSnapshotTool(1.0, out);
    host::RgbaImage snapshot;
    std::string error, first;
    EXPECT_TRUE(host::ReadPngFile(out, snapshot, error)) << error;
    EXPECT_EQ(DifferingPixels(shown, snapshot, 0, 0, kEditorWidth, kEditorHeight, &first), 0) << first;

    handler_.events.clear();
    ClickDevice(kPreviousX, kButtonY);
    ClickDevice(kPreviousX, kButtonY);
    EXPECT_EQ(handler_.events, (Events{Begin(kProgramId), Perform(kProgramId, 0.0), End(kProgramId), Begin(kProgramId),
                                       Perform(kProgramId, 1.0), End(kProgramId)}));

    handler_.events.clear();
    Automate(kProgramId, 5.0 / kLast);
    shown = CaptureAfterTicks();
    EXPECT_TRUE(handler_.events.empty()) << handler_.events.front();
    snapshotSettings_ = {"Preset=Half-time pump"};
    RunSnapshotTool(1.0, out);
    EXPECT_TRUE(host::ReadPngFile(out, snapshot, error)) << error;
    EXPECT_EQ(DifferingPixels(shown, snapshot, 20, 206, 150, 232, &first), 0) << "the name: " << first;
    snapshotSettings_.clear();
    CloseView(view);
  }

  // Every factor from 1 to 3, set before attaching and while attached: frame,
  // window and picture follow, and a click toggles BY exactly on the device
  // pixels whose editor point lies in BY.
  void ExpectEveryFactorFromOneToThree() {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    const double factors[] = {1.0, 1.5, 2.0, 2.5, 3.0};
    std::vector<host::RgbaImage> snapshots;
    for (double f : factors) snapshots.push_back(Snapshot(f));
    const ControlRect& by = RectOf(kBy);
    for (size_t i = 0; i < 5 && !HasFatalFailure(); ++i) {
      const double f = factors[i];
      HostFrameRecord frame;
      Steinberg::IPtr<Steinberg::IPlugView> view = OpenAsReferenceHost(frame, f, 0);
      ASSERT_TRUE(view);
      ExpectShownAt(0, frame, f, snapshots[i]);
      // Three widths: whatever the factor's fraction, one ends between two editor pixels.
      for (int k = 0; k < 3; ++k) SpoilAndExpose(DeviceOf(by.left, f) + 1, DeviceOf(by.top, f) + 1 + 11 * k, 40 + k, 9);
      ExpectShownAt(0, frame, f, snapshots[i]);
      // The first and last device column and row inside BY toggle it, the ones just outside do not.
      auto in = [f](int v) { return int(std::ceil(v * f - 1e-9)); };
      const int x0 = in(by.left), x1 = in(by.right), y0 = in(by.top), y1 = in(by.bottom);
      const int mx = DeviceOf((by.left + by.right) / 2, f), my = DeviceOf((by.top + by.bottom) / 2, f);
      const int clicks[][3] = {{x0 - 1, my, 0}, {x1, my, 0},     {mx, y0 - 1, 0}, {mx, y1, 0},
                               {x0, my, 1},     {x1 - 1, my, 1}, {mx, y0, 1},     {mx, y1 - 1, 1}};
      for (const auto& c : clicks) {
        handler_.events.clear();
        ClickDevice(c[0], c[1]);
        const int performs = int(std::count_if(handler_.events.begin(), handler_.events.end(), [](const HostEvent& e) {
          return e.kind == HostEvent::kPerform && e.id == Steinberg::Vst::ParamID(kBy);
        }));
        EXPECT_EQ(performs, c[2]) << "click at device (" << c[0] << ", " << c[1] << ") at " << f;
      }
      Automate(kBy, 0.0);
      const int requests = frame.requests;
      ASSERT_EQ(host::SetContentScale(*view, float(factors[(i + 2) % 5])), Steinberg::kResultOk);
      EXPECT_GT(frame.requests, requests) << "no resize asked for leaving " << f;
      ExpectShownAt(0, frame, factors[(i + 2) % 5], snapshots[(i + 2) % 5]);
      CloseReferenceView(view, frame);
    }
  }

  // Two views in two frames at their own factors, taken down in every order:
  // the view left shows the editor at its own factor, a factor set on the
  // view without the editor leaves the editor alone, and closing right after
  // a wheel notch ends the gesture.
  void ExpectEveryViewOrder() {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    ASSERT_TRUE(NewSecondFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    enum How { kRemoveNewer, kReleaseNewer, kNewerRefused, kRemoveOlder };
    const host::RgbaImage atOneAndHalf = Snapshot(1.5), atTwo = Snapshot(2);
    const ControlRect& chop = RectOf(kChop);
    for (How how : {kRemoveNewer, kReleaseNewer, kNewerRefused, kRemoveOlder}) {
      SCOPED_TRACE(testing::Message() << "order " << int(how));
      const bool refused = how == kNewerRefused, olderGoes = how == kRemoveOlder;
      HostFrameRecord olderFrame, newerFrame;
      Steinberg::IPtr<Steinberg::IPlugView> older = OpenAsReferenceHost(olderFrame, 1.0, 0);
      Steinberg::IPtr<Steinberg::IPlugView> newer = OpenAsReferenceHost(
          newerFrame, 2.0, refused ? 2 : 1, refused ? Steinberg::kResultFalse : Steinberg::kResultOk);
      ASSERT_TRUE(older && newer);
      const int newerRequests = newerFrame.requests;
      ASSERT_EQ(host::SetContentScale(*older, 1.5f), Steinberg::kResultOk);
      EXPECT_EQ(olderFrame.width, DeviceOf(kEditorWidth, 1.5));
      EXPECT_EQ(newerFrame.requests, newerRequests);
      if (!refused) ExpectShownAt(1, newerFrame, 2.0, atTwo);
      Steinberg::IPtr<Steinberg::IPlugView>&gone = olderGoes ? older : newer, &left = olderGoes ? newer : older;
      HostFrameRecord &goneFrame = olderGoes ? olderFrame : newerFrame,
                      &leftFrame = olderGoes ? newerFrame : olderFrame;
      CloseReferenceView(gone, goneFrame, how != kReleaseNewer);
      const int index = olderGoes ? 1 : 0;
      const double scale = olderGoes ? 2.0 : 1.5;
      ExpectShownAt(index, leftFrame, scale, olderGoes ? atTwo : atOneAndHalf);
      handler_.events.clear();
      WheelDevice(index, DeviceOf((chop.left + chop.right) / 2, scale), DeviceOf((chop.top + chop.bottom) / 2, scale));
      ASSERT_FALSE(handler_.events.empty()) << "the wheel did not reach the view left";
      CloseReferenceView(left, leftFrame);
      EXPECT_EQ(handler_.events.back(), End(kChop)) << "the wheel's gesture outlived the editor";
      Automate(kChop, 0.0);
    }
  }

  std::vector<HostFrameRecord*> hostFrames_;
  std::unique_ptr<host::ModuleLibrary> module_;
  std::unique_ptr<host::PluginInstance> instance_;
  RecordingHandler handler_;
};

}  // namespace vellox::test
