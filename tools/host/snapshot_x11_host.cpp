#include "snapshot_x11_host.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace vellox::host {

using namespace Steinberg;

namespace {
constexpr int kConnectAttempts = 20;
constexpr useconds_t kConnectRetryUs = 50000;
}  // namespace

bool DisplayAnswers() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = !xcb_connection_has_error(connection);
  xcb_disconnect(connection);
  return answers;
}

long long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

tresult PLUGIN_API X11RunLoop::resizeView(IPlugView* view, ViewRect* newSize) {
  return view && newSize ? view->onSize(newSize) : kInvalidArgument;
}

tresult PLUGIN_API X11RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
  if (!handler || fd < 0) return kInvalidArgument;
  handler->addRef();
  mHandlers.push_back({handler, fd});
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
  auto it = std::find_if(mHandlers.begin(), mHandlers.end(), [&](const Handler& h) { return h.handler == handler; });
  if (it == mHandlers.end()) return kInvalidArgument;
  mHandlers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) {
  if (!handler || ms == 0) return kInvalidArgument;
  handler->addRef();
  mTimers.push_back({handler, ms, MonotonicMs() + static_cast<long long>(ms)});
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
  auto it = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.handler == handler; });
  if (it == mTimers.end()) return kInvalidArgument;
  mTimers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown_iid) || FUnknownPrivate::iidEqual(iid, IPlugFrame_iid)) {
    *obj = static_cast<IPlugFrame*>(this);
  } else if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop_iid)) {
    *obj = static_cast<Linux::IRunLoop*>(this);
  } else {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

Linux::TimerInterval X11RunLoop::FirstTimerPeriod() const { return mTimers.empty() ? 0 : mTimers.front().period; }

bool X11RunLoop::RunOnce(int waitMs, int& ticks) {
  const long long now = MonotonicMs();
  for (const Timer& t : mTimers) waitMs = static_cast<int>(std::min<long long>(waitMs, std::max(0LL, t.due - now)));
  std::vector<pollfd> fds;
  for (const Handler& h : mHandlers) fds.push_back({h.fd, POLLIN, 0});
  const int ready = poll(fds.data(), fds.size(), std::max(0, waitMs));
  // Handlers may unregister themselves or others while being called.
  const std::vector<Handler> handlers = mHandlers;
  for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
    if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    auto still = std::find_if(mHandlers.begin(), mHandlers.end(),
                              [&](const Handler& h) { return h.handler == handlers[i].handler; });
    if (still != mHandlers.end()) still->handler->onFDIsSet(still->fd);
  }
  const long long after = MonotonicMs();
  const std::vector<Timer> timers = mTimers;
  for (const Timer& t : timers) {
    auto still = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& s) { return s.handler == t.handler; });
    if (still == mTimers.end() || still->due > after) continue;
    still->due = after + static_cast<long long>(still->period);
    ++ticks;
    still->handler->onTimer();
  }
  return ready > 0;
}

void X11RunLoop::RunFor(int ms) {
  const long long end = MonotonicMs() + ms;
  int ticks = 0;
  for (long long now = MonotonicMs(); now < end; now = MonotonicMs()) RunOnce(static_cast<int>(end - now), ticks);
}

int X11RunLoop::RunTicks(int ticks, int timeoutMs) {
  const long long end = MonotonicMs() + timeoutMs;
  int fired = 0;
  for (long long now = MonotonicMs(); fired < ticks && now < end; now = MonotonicMs())
    RunOnce(static_cast<int>(end - now), fired);
  return fired;
}

void X11RunLoop::RunUntilQuiet(int quietMs, int timeoutMs) {
  const long long end = MonotonicMs() + timeoutMs;
  int ticks = 0;
  long long quietSince = MonotonicMs();
  for (long long now = quietSince; now < end && now - quietSince < quietMs; now = MonotonicMs()) {
    if (RunOnce(quietMs, ticks)) quietSince = MonotonicMs();
  }
}

std::unique_ptr<X11EditorFrame> X11EditorFrame::Create(int width, int height, int x, int y, std::string& error) {
  std::unique_ptr<X11EditorFrame> frame(new X11EditorFrame());
  int screenNumber = 0;
  // A busy server may turn a connection away for a moment: try a few times.
  int failure = 0;
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    if (frame->mConnection) {
      xcb_disconnect(frame->mConnection);
      usleep(kConnectRetryUs);
    }
    frame->mConnection = xcb_connect(nullptr, &screenNumber);
    failure = xcb_connection_has_error(frame->mConnection);
    if (!failure) break;
  }
  if (failure) {
    error = "cannot open the X display \"" + std::string(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") +
            "\" (connection error " + std::to_string(failure) + ")";
    return nullptr;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(frame->mConnection));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  const xcb_screen_t* screen = screens.data;
  // Pixels off the screen cannot be read back: the frame must fit, moved
  // towards the corner as far as needed (an editor at a high content scale).
  if (width > screen->width_in_pixels || height > screen->height_in_pixels) {
    error = "the editor (" + std::to_string(width) + " x " + std::to_string(height) + ") does not fit the X screen (" +
            std::to_string(screen->width_in_pixels) + " x " + std::to_string(screen->height_in_pixels) + ")";
    return nullptr;
  }
  x = std::min(x, screen->width_in_pixels - width);
  y = std::min(y, screen->height_in_pixels - height);
  frame->mRoot = screen->root;
  frame->mWidth = width;
  frame->mHeight = height;
  frame->mWindow = xcb_generate_id(frame->mConnection);
  // Override-redirect: no window manager moves, frames or covers it.
  const uint32_t values[] = {screen->black_pixel, 1, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE};
  xcb_create_window(frame->mConnection, XCB_COPY_FROM_PARENT, frame->mWindow, screen->root, int16_t(x), int16_t(y),
                    uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  xcb_map_window(frame->mConnection, frame->mWindow);
  frame->Sync();
  return frame;
}

X11EditorFrame::~X11EditorFrame() {
  if (mWindow) xcb_destroy_window(mConnection, mWindow);
  xcb_disconnect(mConnection);
}

std::vector<xcb_window_t> X11EditorFrame::Children() const {
  std::vector<xcb_window_t> children;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, mWindow), nullptr);
  if (!tree) return children;
  const xcb_window_t* list = xcb_query_tree_children(tree);
  children.assign(list, list + xcb_query_tree_children_length(tree));
  free(tree);
  return children;
}

void X11EditorFrame::Sync() const {
  free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
}

bool X11EditorFrame::Capture(RgbaImage& image, std::string& error) const {
  xcb_get_image_reply_t* reply = xcb_get_image_reply(
      mConnection,
      xcb_get_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, 0, 0, uint16_t(mWidth), uint16_t(mHeight), ~0u),
      nullptr);
  if (!reply) {
    error = "the frame's pixels cannot be read";
    return false;
  }
  const uint8_t* data = xcb_get_image_data(reply);
  const size_t bytes = size_t(xcb_get_image_data_length(reply));
  if (bytes < size_t(mWidth) * size_t(mHeight) * 4) {
    free(reply);
    error = "the frame's pixels are not 32 bits each";
    return false;
  }
  image.Resize(mWidth, mHeight);
  for (size_t i = 0; i < size_t(mWidth) * size_t(mHeight); ++i) {
    image.pixels[4 * i + 0] = data[4 * i + 2];
    image.pixels[4 * i + 1] = data[4 * i + 1];
    image.pixels[4 * i + 2] = data[4 * i + 0];
    image.pixels[4 * i + 3] = 255;
  }
  free(reply);
  return true;
}

}  // namespace vellox::host
