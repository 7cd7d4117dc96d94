#include "PIX_TextNative.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "PIX_Blit.h"
#include "PIX_Font.h"
#include "PIX_RowAccess.h"
#include "PIX_SysBitmap.h"
#include "PIX_Utf8.h"

namespace {
constexpr UINT kAlignBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;

struct WideText {
  wchar_t local[1024];
  wchar_t* heap = nullptr;
  wchar_t* chars = nullptr;
  int count = 0;
  ~WideText() { std::free(heap); }
};

bool ToWide(const char* text, int length, WideText& out) {
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
  if (needed <= 0) return false;
  out.chars = out.local;
  int room = 1024;
  if (needed >= 1000) {
    room = needed + 32;
    out.heap = (wchar_t*)std::malloc(sizeof(wchar_t) * (size_t)room);
    if (!out.heap) return false;
    out.chars = out.heap;
  }
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, out.chars, room);
  if (n <= 0) return false;
  if (length < 0) --n;  // the terminating NUL was converted too
  out.count = n;
  return true;
}

// Text with multi-byte UTF-8 sequences goes through UTF-16; plain bytes (or
// text that fails to convert) go to the narrow call.
int DrawOnDC(HDC dc, const PIX_NativeText& t, const char* text, int length, RECT* r, UINT format) {
  HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)t.font);
  SetTextColor(dc, RGB((t.textColour >> 16) & 0xFF, (t.textColour >> 8) & 0xFF, t.textColour & 0xFF));
  SetBkMode(dc, t.backMode);
  if (t.backMode == 2)
    SetBkColor(dc, RGB((t.backColour >> 16) & 0xFF, (t.backColour >> 8) & 0xFF, t.backColour & 0xFF));
  int result;
  WideText wide;
  if (HasUtf8Sequence(text, length) && ToWide(text, length, wide))
    result = DrawTextW(dc, wide.chars, wide.count, r, format | DT_NOPREFIX);
  else
    result = DrawTextA(dc, text, length, r, format | DT_NOPREFIX);
  SelectObject(dc, previous);
  GdiFlush();  // callers read the pixels directly
  return result;
}

PIX_SysBitmap* ScratchSurface(int w, int h) {
  PIX_SysBitmap*& scratch = PIX_CachedFont::TextScratchSurface;
  if (!scratch) scratch = new PIX_SysBitmap(0, 0);
  if (scratch->Width() < w || scratch->Height() < h)
    scratch->SetSize(std::max(scratch->Width(), w), std::max(scratch->Height(), h));
  return scratch;
}
}  // namespace

int DrawNativeText(const PIX_NativeText& t, PIX_IBitmap* bm, const char* text, int length, PIX_Rect* rect,
                   uint32_t format) {
  format &= ~(TextAlphaFromColour | TextForceGlyphCache);
  RECT r = {rect->left, rect->top, rect->right, rect->bottom};
  if (bm && bm->DeviceContext()) {
    const int result = DrawOnDC((HDC)bm->DeviceContext(), t, text, length, &r, format);
    if (format & DT_CALCRECT) *rect = {r.left, r.top, r.right, r.bottom};
    return result;
  }

  PIX_SysBitmap* scratch = ScratchSurface(4, 4);
  HDC dc = (HDC)scratch->DeviceContext();
  if (!dc) return 0;
  if (format & DT_CALCRECT) {
    const int result = DrawOnDC(dc, t, text, length, &r, format);
    rect->right = rect->left + (r.right - r.left);
    rect->bottom = rect->top + (r.bottom - r.top);
    return result;
  }

  // Draw into the scratch surface over a copy of the destination, then copy back.
  DrawOnDC(dc, t, text, length, &r, (format & ~kAlignBits) | DT_CALCRECT);
  const int mw = r.right - r.left, mh = r.bottom - r.top;
  int x = rect->left, y = rect->top;
  if (format & DT_RIGHT) x = rect->right - mw;
  if (format & DT_CENTER) x = rect->left + (rect->right - rect->left - mw) / 2;
  if (format & DT_BOTTOM) y = rect->bottom - mh;
  if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - mh) / 2;
  const PIX_Rect clip = TextClipRect(bm, *rect, format);
  PIX_Rect box = {std::max(x - t.pad, clip.left), std::max(y, clip.top), std::min(x + mw, clip.right),
                  std::min(y + mh, clip.bottom)};
  if (box.right <= box.left || box.bottom <= box.top) return 0;
  const int bw = box.right - box.left, bh = box.bottom - box.top;
  scratch = ScratchSurface(bw, bh);
  if (!scratch->PixelBits()) return 0;
  BlitBitmap(scratch, bm, 0, 0, &box, 1.0f, ModeCopy);
  RECT placed = {rect->left - box.left, rect->top - box.top, rect->right - box.left, rect->bottom - box.top};
  const int result = DrawOnDC(dc, t, text, length, &placed, format);
  const PIX_Rect back = {0, 0, bw, bh};
  BlitBitmap(bm, scratch, box.left, box.top, &back, t.alpha, ModeCopy);
  return result;
}
