// The drawing surface GDI can draw into. On Windows it is a top-down 32-bit DIB
// section selected into its own memory device context; elsewhere it is a heap
// surface with the same size rules and no device context.
#pragma once

#include "PIX_Bitmap.h"

class PIX_SysBitmap : public PIX_IBitmap {
public:
    PIX_SysBitmap(int w, int h);
    ~PIX_SysBitmap() override;
    PIX_SysBitmap(const PIX_SysBitmap&) = delete;
    PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

    PixelWord* PixelBits() const override { return pixels; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    // The allocated width: the surface only grows, so a smaller logical size
    // keeps the larger allocation and its span.
    int RowSpan() const override { return allocWidth; }
    // Grows the surface when needed (allocated width rounded up to 4 pixels).
    bool SetSize(int w, int h) override;
    void* DeviceContext() const override { return dc; }

private:
    // Per back end: whether pixels can be had at all, and the allocation of
    // allocWidth x allocHeight pixels (null when it fails).
    bool SurfaceReady() const;
    PixelWord* AllocateSurface();
    void ReleaseSurface();

    int width = 0;
    int height = 0;
    void* dc = nullptr;          // HDC on Windows
    PixelWord* pixels = nullptr;
    int allocWidth = 0;
    int allocHeight = 0;
    void* dib = nullptr;         // HBITMAP on Windows; heap block elsewhere
    void* previous = nullptr;    // object selected in dc before the DIB
};
