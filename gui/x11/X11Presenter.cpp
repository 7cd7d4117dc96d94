#include "X11Presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PIX_Bitmap.h"

namespace {

constexpr size_t kPutImageHeaderBytes = 24;
// Depth 24 ignores the top byte; a 32-bit parent visual shows it as alpha.
constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

X11Presenter::X11Presenter(xcb_connection_t* connection, uint32_t window, uint8_t depth, int width, int height,
                           bool useSharedMemory)
    : mConnection(connection), mWindow(window), mDepth(depth), mWidth(width), mHeight(height) {
  mGc = xcb_generate_id(mConnection);
  const uint32_t noExposures = 0;
  xcb_create_gc(mConnection, mGc, mWindow, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  // Remote displays cannot attach our memory: image requests take over.
  if (useSharedMemory) AttachSharedMemory();
}

X11Presenter::~X11Presenter() {
  DetachSharedMemory();
  xcb_free_gc(mConnection, mGc);
}

bool X11Presenter::AttachSharedMemory() {
  xcb_shm_query_version_reply_t* version =
      xcb_shm_query_version_reply(mConnection, xcb_shm_query_version(mConnection), nullptr);
  if (!version) return false;
  free(version);
  const size_t bytes = size_t(mWidth) * size_t(mHeight) * 4;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  mSegment = xcb_generate_id(mConnection);
  xcb_generic_error_t* error = xcb_request_check(mConnection, xcb_shm_attach_checked(mConnection, mSegment, id, 0));
  // Marked for removal now: the segment lives until both sides detach, and
  // nothing is left behind if this process dies.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    free(error);
    shmdt(address);
    mSegment = 0;
    return false;
  }
  mShmAddress = static_cast<uint32_t*>(address);
  return true;
}

void X11Presenter::DetachSharedMemory() {
  if (!mShmAddress) return;
  xcb_shm_detach(mConnection, mSegment);
  // The server must be done with the segment before our side lets it go.
  free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
  shmdt(mShmAddress);
  mShmAddress = nullptr;
  mSegment = 0;
}

void X11Presenter::CopyRows(const PIX_IBitmap& surface, const IBox& box, uint32_t* dest, int destSpan) const {
  const int w = box.right - box.left;
  for (int y = box.top; y < box.bottom; ++y) {
    const int row = surface.IsBottomUp() ? surface.Height() - 1 - y : y;
    const PixelWord* src = surface.PixelBits() + size_t(row) * size_t(surface.RowSpan()) + box.left;
    uint32_t* out = dest + size_t(y - box.top) * size_t(destSpan);
    for (int x = 0; x < w; ++x) out[x] = src[x] | kOpaque;
  }
}

void X11Presenter::PutWithRequests(const PIX_IBitmap& surface, const IBox& box) {
  const int w = box.right - box.left;
  const size_t maxBytes = size_t(xcb_get_maximum_request_length(mConnection)) * 4;
  const int rowsPerRequest = std::max(1, int((maxBytes - kPutImageHeaderBytes) / (size_t(w) * 4)));
  for (int top = box.top; top < box.bottom; top += rowsPerRequest) {
    const int bottom = std::min(box.bottom, top + rowsPerRequest);
    mRows.resize(size_t(w) * size_t(bottom - top));
    CopyRows(surface, IBox(box.left, top, box.right, bottom), mRows.data(), w);
    xcb_put_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, mGc, uint16_t(w), uint16_t(bottom - top),
                  int16_t(box.left), int16_t(top), 0, mDepth, uint32_t(mRows.size() * 4),
                  reinterpret_cast<const uint8_t*>(mRows.data()));
  }
}

bool X11Presenter::Present(const PIX_IBitmap& surface, const IBox& requested) {
  if (!surface.PixelBits()) return false;
  IBox box(std::max(0, requested.left), std::max(0, requested.top),
           std::min({requested.right, mWidth, surface.Width()}),
           std::min({requested.bottom, mHeight, surface.Height()}));
  if (box.right <= box.left || box.bottom <= box.top) return true;
  if (mShmAddress) {
    if (mShmInFlight) free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
    CopyRows(surface, box, mShmAddress + size_t(box.top) * size_t(mWidth) + box.left, mWidth);
    xcb_shm_put_image(mConnection, mWindow, mGc, uint16_t(mWidth), uint16_t(mHeight), uint16_t(box.left),
                      uint16_t(box.top), uint16_t(box.right - box.left), uint16_t(box.bottom - box.top),
                      int16_t(box.left), int16_t(box.top), mDepth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, mSegment, 0);
    mShmInFlight = true;
  } else {
    PutWithRequests(surface, box);
  }
  xcb_flush(mConnection);
  return true;
}
