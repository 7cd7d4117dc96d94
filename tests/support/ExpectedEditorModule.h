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

  // --- views, frames and factors, as hosts on high-density screens drive them ---
public:
  // The size a host's frame has, per view; the frame resizes as the reference
  // editor host does.
  struct HostFrameRecord {
    Steinberg::IPlugView* view = nullptr;
    int width = 0, height = 0, requests = 0;
  };
  // The reference host's resizeView: nothing happens unless getSize differs
  // from the size asked for; otherwise the frame takes that size and the view
  // hears onSize. Views without a record get onSize at once.
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
      return view->onSize(wanted);
    }
    return view->onSize(wanted);
  }

protected:
  // The window layer's part: the host frame object views get (its resizeView
  // is ResizeLikeReferenceHost), the parent window of frame 0 or 1, a
  // second frame, the editor window's place and size, what frame `index`
  // shows, and input in device pixels.
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

  static int DeviceOf(int v, double scale) { return scale == 1.0 ? v : int(std::lround(v * scale)); }

  // A view opened as the reference host opens one: its frame sized from
  // getSize, then the factor of the screen, then the frame and attached().
  Steinberg::IPtr<Steinberg::IPlugView> OpenAsReferenceHost(HostFrameRecord& frame, double scale, int parent,
                                                            Steinberg::tresult expected = Steinberg::kResultOk) {
    Steinberg::IPtr<Steinberg::IPlugView> view = Steinberg::owned(Controller().createView("editor"));
    EXPECT_TRUE(view);
    if (!view) return view;
    frame = HostFrameRecord();
    frame.view = view.get();
    Steinberg::ViewRect size{};
    EXPECT_EQ(view->getSize(&size), Steinberg::kResultOk);
    frame.width = size.getWidth();
    frame.height = size.getHeight();
    hostFrames_.push_back(&frame);
    EXPECT_EQ(host::SetContentScale(*view, float(scale)), Steinberg::kResultOk) << scale;
    view->setFrame(HostFrame());
    EXPECT_EQ(view->attached(Parent(parent), WindowType()), expected);
    return view;
  }
  void ForgetFrame(HostFrameRecord& frame) {
    hostFrames_.erase(std::remove(hostFrames_.begin(), hostFrames_.end(), &frame), hostFrames_.end());
  }
  void CloseReferenceView(Steinberg::IPtr<Steinberg::IPlugView>& view, HostFrameRecord& frame) {
    if (view) {
      EXPECT_EQ(view->removed(), Steinberg::kResultOk);
      view->setFrame(nullptr);
    }
    view = nullptr;
    ForgetFrame(frame);
  }
  void ExpectFrameSize(const HostFrameRecord& frame, double scale) {
    EXPECT_EQ(frame.width, DeviceOf(kEditorWidth, scale)) << "at " << scale;
    EXPECT_EQ(frame.height, DeviceOf(kEditorHeight, scale)) << "at " << scale;
  }
  // The picture of frame `index` against the snapshot at `scale`, where both are.
  void ExpectSnapshotShown(int index, double scale, const host::RgbaImage& snapshot, const std::string& what) {
    const host::RgbaImage shown = CaptureFrame(index);
    const int right = std::min({shown.width, snapshot.width, DeviceOf(kEditorWidth, scale)});
    const int bottom = std::min({shown.height, snapshot.height, DeviceOf(kEditorHeight, scale)});
    std::string first;
    EXPECT_GT(right, 0);
    EXPECT_EQ(DifferingPixels(shown, snapshot, 0, 0, right, bottom, &first), 0) << what << " at " << scale << first;
  }
  int Performs(EditorParam param) const {
    int n = 0;
    for (const HostEvent& e : handler_.events)
      n += e.kind == HostEvent::kPerform && e.id == Steinberg::Vst::ParamID(param);
    return n;
  }

  // Every factor from 1 to 3, set before attaching and while attached, in a
  // host that resizes its frame only when getSize differs from the request:
  // the frame, the window and the picture follow (an exposed area too), and
  // a click toggles BY exactly on the device pixels whose editor point lies
  // in BY.
  void ExpectEveryFactorFromOneToThree() {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    const double factors[] = {1.0, 1.5, 2.0, 2.5, 3.0};
    const size_t n = sizeof factors / sizeof factors[0];
    std::vector<host::RgbaImage> snapshots;
    for (double f : factors) snapshots.push_back(Snapshot(f));
    const ControlRect& by = RectOf(kBy);
    for (size_t i = 0; i < n && !HasFatalFailure(); ++i) {
      const double f = factors[i], next = factors[(i + 2) % n];
      HostFrameRecord frame;
      Steinberg::IPtr<Steinberg::IPlugView> view = OpenAsReferenceHost(frame, f, 0);
      ASSERT_TRUE(view);
      ExpectFrameSize(frame, f);
      ExpectEditorIn(0, DeviceOf(kEditorWidth, f), DeviceOf(kEditorHeight, f));
      ExpectSnapshotShown(0, f, snapshots[i], "attached");

      // Three widths: whatever the factor's fraction, one of them ends
      // between two editor pixels.
      for (int k = 0; k < 3; ++k) SpoilAndExpose(DeviceOf(by.left, f) + 1, DeviceOf(by.top, f) + 1 + 11 * k, 40 + k, 9);
      ExpectSnapshotShown(0, f, snapshots[i], "exposed");

      // The first device column and row inside BY, and the last, toggle it;
      // the ones just outside do not. Consecutive clicks lie far apart.
      auto first = [f](int v) { return int(std::ceil(v * f - 1e-9)); };
      const int midX = DeviceOf((by.left + by.right) / 2, f), midY = DeviceOf((by.top + by.bottom) / 2, f);
      const struct {
        int x, y;
        bool toggles;
      } clicks[] = {{first(by.left) - 1, midY, false}, {first(by.right), midY, false},
                    {midX, first(by.top) - 1, false},  {midX, first(by.bottom), false},
                    {first(by.left), midY, true},      {first(by.right) - 1, midY, true},
                    {midX, first(by.top), true},       {midX, first(by.bottom) - 1, true}};
      for (const auto& c : clicks) {
        handler_.events.clear();
        ClickDevice(c.x, c.y);
        EXPECT_EQ(Performs(kBy), c.toggles ? 1 : 0) << "click at device (" << c.x << ", " << c.y << ") at " << f;
      }
      Automate(kBy, 0.0);

      const int requests = frame.requests;
      ASSERT_EQ(host::SetContentScale(*view, float(next)), Steinberg::kResultOk);
      EXPECT_GT(frame.requests, requests) << "no resize asked for going from " << f << " to " << next;
      ExpectFrameSize(frame, next);
      ExpectEditorIn(0, DeviceOf(kEditorWidth, next), DeviceOf(kEditorHeight, next));
      ExpectSnapshotShown(0, next, snapshots[(i + 2) % n], "factor changed");
      CloseReferenceView(view, frame);
    }
  }

  // Two views of one effect in two frames, each with its own factor, taken
  // down in every order a host may use: the older keeps or gets the editor at
  // its own factor, a factor set on the view not showing the editor leaves
  // the editor alone, and closing right after a wheel notch ends the
  // gesture.
  void ExpectEveryViewOrder() {
    std::string error;
    ASSERT_TRUE(NewFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    ASSERT_TRUE(NewSecondFrame(2 * kEditorWidth, 2 * kEditorHeight, error)) << error;
    enum How { kRemoveNewer, kReleaseNewer, kNewerRefused, kRemoveOlder };
    const host::RgbaImage atOneAndHalf = Snapshot(1.5), atTwo = Snapshot(2);
    const ControlRect& chop = RectOf(kChop);
    for (How how : {kRemoveNewer, kReleaseNewer, kNewerRefused, kRemoveOlder}) {
      SCOPED_TRACE(testing::Message() << "order " << int(how));
      HostFrameRecord olderFrame, newerFrame;
      Steinberg::IPtr<Steinberg::IPlugView> older = OpenAsReferenceHost(olderFrame, 1.0, 0);
      Steinberg::IPtr<Steinberg::IPlugView> newer =
          OpenAsReferenceHost(newerFrame, 2.0, how == kNewerRefused ? 2 : 1,
                              how == kNewerRefused ? Steinberg::kResultFalse : Steinberg::kResultOk);
      ASSERT_TRUE(older && newer);
      const int newerRequests = newerFrame.requests;
      // A factor for the older view, while the newer one may show the editor.
      ASSERT_EQ(host::SetContentScale(*older, 1.5f), Steinberg::kResultOk);
      ExpectFrameSize(olderFrame, 1.5);
      EXPECT_EQ(newerFrame.requests, newerRequests);
      if (how != kNewerRefused) {
        ExpectFrameSize(newerFrame, 2.0);
        ExpectEditorIn(1, DeviceOf(kEditorWidth, 2.0), DeviceOf(kEditorHeight, 2.0));
        ExpectSnapshotShown(1, 2.0, atTwo, "newer view");
      }
      Steinberg::IPtr<Steinberg::IPlugView>* showing = &older;
      HostFrameRecord* showingFrame = &olderFrame;
      switch (how) {
        case kRemoveNewer: CloseReferenceView(newer, newerFrame); break;
        case kReleaseNewer:
          newer = nullptr;  // no removed(): the host just lets go
          ForgetFrame(newerFrame);
          break;
        case kNewerRefused: CloseReferenceView(newer, newerFrame); break;
        case kRemoveOlder:
          CloseReferenceView(older, olderFrame);
          showing = &newer;
          showingFrame = &newerFrame;
          break;
      }
      const int index = how == kRemoveOlder ? 1 : 0;
      const double scale = how == kRemoveOlder ? 2.0 : 1.5;
      ExpectEditorIn(index, DeviceOf(kEditorWidth, scale), DeviceOf(kEditorHeight, scale));
      ExpectSnapshotShown(index, scale, how == kRemoveOlder ? atTwo : atOneAndHalf, "view left");

      handler_.events.clear();
      WheelDevice(index, DeviceOf((chop.left + chop.right) / 2, scale), DeviceOf((chop.top + chop.bottom) / 2, scale));
      ASSERT_FALSE(handler_.events.empty()) << "the wheel did not reach the view left";
      CloseReferenceView(*showing, *showingFrame);
      ASSERT_FALSE(handler_.events.empty());
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
