#include "PIX_Bitmap.h"

#include <climits>
#include <cstdlib>

namespace {
constexpr int kAlignSlack = 63;  // rows start at the next 64-byte boundary
}

PIX_MemBitmap::~PIX_MemBitmap() { Release(); }

void PIX_MemBitmap::Release()
{
    std::free(raw);
    raw = nullptr;
    capacity = 0;
}

PixelWord* PIX_MemBitmap::PixelBits() const
{
    if (!raw) return nullptr;
    return (PixelWord*)(((uintptr_t)raw + kAlignSlack) & ~(uintptr_t)kAlignSlack);
}

bool PIX_MemBitmap::SetSize(int w, int h)
{
    if (w == width && h == height) return false;
    width = w;
    height = h;

    // Sizes whose byte count does not fit the 32-bit data model are refused
    // outright rather than allocated short.
    long long need = 0;
    if (w > 0 && h > 0) {
        const long long span = ((long long)w + RowAlignMask) & ~(long long)RowAlignMask;
        need = span * h * 4;
        if (need > INT_MAX - kAlignSlack) need = 0;
    }

    if (need > 0) {
        if (!raw) {
            raw = (unsigned char*)std::malloc((size_t)need + kAlignSlack);
            capacity = raw ? (int)need : 0;
        } else if (capacity < need) {
            long long grown = need + need / 4;
            if (grown > INT_MAX - kAlignSlack) grown = need;
            unsigned char* moved = (unsigned char*)std::realloc(raw, (size_t)grown + kAlignSlack);
            if (moved) {
                raw = moved;
                capacity = (int)grown;
            } else {
                std::free(raw);
                raw = (unsigned char*)std::malloc((size_t)need + kAlignSlack);
                capacity = raw ? (int)need : 0;
            }
        }
    } else {
        Release();
    }

    if (!raw) {
        width = 0;
        height = 0;
    }
    return true;
}
