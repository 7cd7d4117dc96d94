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
  return mPresenter->Present(*mDrawSurface, box);
}
