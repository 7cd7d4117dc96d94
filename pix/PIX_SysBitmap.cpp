// The size rules both drawing-surface back ends share; each back end supplies
// only where the pixels live (SurfaceReady, AllocateSurface, ReleaseSurface).
#include "PIX_SysBitmap.h"

#include <climits>

bool PIX_SysBitmap::SetSize(int w, int h)
{
    if (!SurfaceReady()) {
        width = 0;
        height = 0;
        pixels = nullptr;
        return false;
    }
    if (w == width && h == height) return false;
    width = w;
    height = h;
    // The surface only grows: a smaller logical size keeps the larger allocation.
    if (w != 0 && h != 0 && allocWidth >= w && allocHeight >= h && pixels) return true;

    allocHeight = h;
    allocWidth = w > INT_MAX - 3 ? 0 : (w + 3) & ~3;
    ReleaseSurface();
    if (allocWidth < 1 || h < 1) return false;

    pixels = AllocateSurface();
    if (!pixels) {
        width = 0;
        height = 0;
    }
    return true;
}
