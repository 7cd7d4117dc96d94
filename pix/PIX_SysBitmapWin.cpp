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

// Without its device context the surface can hold no pixels.
bool PIX_SysBitmap::SurfaceReady() const { return dc != nullptr; }

PixelWord* PIX_SysBitmap::AllocateSurface()
{
    void* bits = nullptr;
    if ((long long)allocWidth * allocHeight * 4 <= INT_MAX) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = allocWidth;
        info.bmiHeader.biHeight = IsBottomUp() ? allocHeight : -allocHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (dib && bits) {
        previous = SelectObject((HDC)dc, (HGDIOBJ)dib);
        return (PixelWord*)bits;
    }
    if (dib) DeleteObject((HGDIOBJ)dib);
    dib = nullptr;
    return nullptr;
}
