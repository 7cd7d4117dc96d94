#pragma once

#include <cstdint>
#include <vector>

#include "IBox.h"

struct xcb_connection_t;
class PIX_IBitmap;

// Copies boxes of the off-screen surface into the editor's X window: through
// a shared-memory segment when the server offers MIT-SHM and can attach it
// (a local display), otherwise with plain image requests split to the
// server's request size. Owns its graphics context and segment.
class X11Presenter {
public:
  // useSharedMemory false: image requests only (what a remote display gets).
  X11Presenter(xcb_connection_t* connection, uint32_t window, uint8_t depth, int width, int height,
               bool useSharedMemory = true);
  ~X11Presenter();
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;

  // Presents `box` (clipped to the window) of `surface`; false when there is
  // nothing to present it with.
  bool Present(const PIX_IBitmap& surface, const IBox& box);
  bool UsesSharedMemory() const { return mShmAddress != nullptr; }

private:
  bool AttachSharedMemory();
  void DetachSharedMemory();
  void CopyRows(const PIX_IBitmap& surface, const IBox& box, uint32_t* dest, int destSpan) const;
  void PutWithRequests(const PIX_IBitmap& surface, const IBox& box);

  xcb_connection_t* mConnection;
  uint32_t mWindow;
  uint8_t mDepth;
  int mWidth, mHeight;
  uint32_t mGc = 0;
  uint32_t mSegment = 0;
  uint32_t* mShmAddress = nullptr;
  // The server may still read the segment for the last image; the next
  // write waits for it.
  bool mShmInFlight = false;
  std::vector<uint32_t> mRows;  // staging for image requests, reused
};
