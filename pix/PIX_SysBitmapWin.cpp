// DIB-section drawing surface selected into its own memory device context, so
// GDI can draw into it and the window layer can BitBlt it to the screen.
#include "PIX_SysBitmap.h"

#include <windows.h>

#include <climits>

PIX_SysBitmap::PIX_SysBitmap(int w, int h)
{
    dc = CreateCompatibleDC(nullptr);
    SetSize(w, h);
}

PIX_SysBitmap::~PIX_SysBitmap()
{
    ReleaseSurface();
    if (dc) DeleteDC((HDC)dc);
}

void PIX_SysBitmap::ReleaseSurface()
{
    if (previous && dc) SelectObject((HDC)dc, (HGDIOBJ)previous);
    previous = nullptr;
    if (dib) DeleteObject((HGDIOBJ)dib);
    dib = nullptr;
    pixels = nullptr;
}

bool PIX_SysBitmap::SetSize(int w, int h)
{
    if (!dc) {
        width = 0;
        height = 0;
        pixels = nullptr;
        return false;
    }
    if (w == width && h == height) return false;
    width = w;
    height = h;
    // The surface only grows: a smaller logical size keeps the larger DIB.
    if (w != 0 && h != 0 && allocWidth >= w && allocHeight >= h && pixels) return true;

    allocHeight = h;
    allocWidth = w > INT_MAX - 3 ? 0 : (w + 3) & ~3;
    ReleaseSurface();
    if (allocWidth < 1 || h < 1) return false;

    void* bits = nullptr;
    if ((long long)allocWidth * h * 4 <= INT_MAX) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = allocWidth;
        info.bmiHeader.biHeight = IsBottomUp() ? h : -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (dib && bits) {
        pixels = (PixelWord*)bits;
        previous = SelectObject((HDC)dc, (HGDIOBJ)dib);
    } else {
        if (dib) DeleteObject((HGDIOBJ)dib);
        dib = nullptr;
        width = 0;
        height = 0;
        pixels = nullptr;
    }
    return true;
}
