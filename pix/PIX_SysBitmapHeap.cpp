// Heap-backed drawing surface for platforms without GDI: same growth and span
// rules as the DIB version, no device context.
#include "PIX_SysBitmap.h"

#include <climits>
#include <cstdlib>

PIX_SysBitmap::PIX_SysBitmap(int w, int h) { SetSize(w, h); }

PIX_SysBitmap::~PIX_SysBitmap() { ReleaseSurface(); }

void PIX_SysBitmap::ReleaseSurface()
{
    std::free(dib);
    dib = nullptr;
    pixels = nullptr;
}

bool PIX_SysBitmap::SetSize(int w, int h)
{
    if (w == width && h == height) return false;
    width = w;
    height = h;
    if (w != 0 && h != 0 && allocWidth >= w && allocHeight >= h && pixels) return true;

    allocHeight = h;
    allocWidth = w > INT_MAX - 3 ? 0 : (w + 3) & ~3;
    ReleaseSurface();
    if (allocWidth < 1 || h < 1) return false;

    const long long bytes = (long long)allocWidth * h * 4;
    if (bytes <= INT_MAX - 63) dib = std::aligned_alloc(64, ((size_t)bytes + 63) & ~(size_t)63);
    pixels = (PixelWord*)dib;
    if (!pixels) {
        width = 0;
        height = 0;
    }
    return true;
}
