// The repaint cycle on X11: the run loop's timer collects what changed and
// paints it at once; presenting copies only that region of the off-screen
// surface to the window.
#include <xcb/xcb.h>

#include <algorithm>

#include "IGraphicsX11.h"
#include "PIX_SysBitmap.h"
#include "X11Presenter.h"

void IGraphicsX11::OnTick() {
  if (!mBrowserStarts.empty()) ReapBrowserStarts();
  if (!mWindow) return;
  IBox dirty;
  if (!CollectDirtyBox(dirty)) return;
  // Like an invalidated window region, the repaint never reaches past the
  // window: controls may extend beyond it.
  const IBox box(std::max(dirty.left, 0), std::max(dirty.top, 0), std::min(dirty.right, mWidth),
                 std::min(dirty.bottom, mHeight));
  PaintRegion(box);
  HandleQueuedEvents();
}

bool IGraphicsX11::PresentRegion(const IBox& box) {
  if (!mPresenter || !mDrawSurface) return false;
  return mPresenter->Present(*mDrawSurface, ToDevice(box));
}

// The window follows the device size; the controls are marked and repaint
// on the next tick, into a presenter of the new size.
void IGraphicsX11::ContentScaleChanged() {
  if (!mWindow || !mConnection) return;
  const uint32_t size[] = {uint32_t(DeviceWidth()), uint32_t(DeviceHeight())};
  xcb_configure_window(mConnection, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  delete mPresenter;
  mPresenter = new X11Presenter(mConnection, mWindow, mDepth, DeviceWidth(), DeviceHeight());
  xcb_flush(mConnection);
}
