#pragma once
// Linux: what a host needs to show a plug-in's editor in a real X window. A
// run loop over the descriptors and timers the plug-in registers, offered
// through the plug-in frame as hosts do; and a top-level window as a DAW's
// editor frame, with a copy of what it shows.
#include <xcb/xcb.h>

#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "rgba_image.h"

namespace vellox::host {

// Owned by its creator; the reference count only tracks the plug-in's use.
class X11RunLoop : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
public:
  virtual ~X11RunLoop() = default;

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mReferences; }
  Steinberg::uint32 PLUGIN_API release() override { return --mReferences; }

  // Dispatches ready descriptors and due timers for about `ms` milliseconds.
  void RunFor(int ms);
  // Runs until the registered timers fired `ticks` times or `timeoutMs`
  // passed; returns the ticks that fired.
  int RunTicks(int ticks, int timeoutMs);
  // Dispatches until no registered descriptor has been ready for `quietMs`.
  void RunUntilQuiet(int quietMs, int timeoutMs);

  size_t EventHandlers() const { return mHandlers.size(); }
  size_t Timers() const { return mTimers.size(); }
  // Period of the first registered timer, 0 without one.
  Steinberg::Linux::TimerInterval FirstTimerPeriod() const;
  int References() const { return mReferences; }

private:
  struct Handler {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  struct Timer {
    Steinberg::Linux::ITimerHandler* handler;
    Steinberg::Linux::TimerInterval period;
    long long due;
  };
  // One round: waits at most `waitMs` for a descriptor or the next timer;
  // returns whether a descriptor was ready, and counts the timers that fired.
  bool RunOnce(int waitMs, int& ticks);

  std::vector<Handler> mHandlers;
  std::vector<Timer> mTimers;
  int mReferences = 0;
};

// Whether the display named by DISPLAY accepts a connection.
bool DisplayAnswers();

// Milliseconds of a monotonic clock.
long long MonotonicMs();

class X11EditorFrame {
public:
  // A mapped top-level window of width x height at (x, y) on the display
  // named by DISPLAY, left alone by window managers.
  static std::unique_ptr<X11EditorFrame> Create(int width, int height, int x, int y, std::string& error);
  ~X11EditorFrame();

  X11EditorFrame(const X11EditorFrame&) = delete;
  X11EditorFrame& operator=(const X11EditorFrame&) = delete;

  xcb_connection_t* Connection() const { return mConnection; }
  xcb_window_t Window() const { return mWindow; }
  xcb_window_t Root() const { return mRoot; }
  // The parent handle a view is attached with.
  void* ParentHandle() const { return reinterpret_cast<void*>(uintptr_t(mWindow)); }
  // The child windows the plug-in made in the frame.
  std::vector<xcb_window_t> Children() const;
  // Waits until the server has handled everything sent so far.
  void Sync() const;
  // What the frame shows, opaque.
  bool Capture(RgbaImage& image, std::string& error) const;

private:
  X11EditorFrame() = default;
  xcb_connection_t* mConnection = nullptr;
  xcb_window_t mWindow = 0;
  xcb_window_t mRoot = 0;
  int mWidth = 0, mHeight = 0;
};

}  // namespace vellox::host
