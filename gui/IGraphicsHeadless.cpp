#include "IGraphicsHeadless.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "../pix/PIX_Png.h"
#include "../pix/PIX_SysBitmap.h"

IGraphicsHeadless::IGraphicsHeadless(IEffectBase* plug, int width, int height, int frameRate, ArtworkTable artwork)
    : IGraphics(plug, width, height, frameRate), mArtwork(artwork) {}

bool IGraphicsHeadless::PresentRegion(const IBox& box) {
  ++mPresentCount;
  mLastPresented = box;
  return true;
}

// No window to show a menu in: the user never chooses.
IMenuModel* IGraphicsHeadless::RunPopupMenu(IMenuModel* menu, const IBox& box) {
  ReleasePointerCapture();
  return nullptr;
}

PIX_IBitmap* IGraphicsHeadless::LoadArtworkResource(int id, const char* fileName) {
  if (mArtwork) {
    int size = 0;
    const unsigned char* data = mArtwork(id, &size);
    if (data) return size > 0 ? LoadPngFromMemory(data, size) : nullptr;
  }
  return fileName ? LoadPngFromFile(fileName) : nullptr;
}

bool IGraphicsHeadless::WriteSurfacePng(const char* path) const {
  const PIX_SysBitmap* surface = DrawSurface();
  if (!surface || !surface->PixelBits() || !path) return false;
  const int w = surface->Width();
  const int h = surface->Height();

  std::vector<unsigned char> rgba(size_t(w) * size_t(h) * 4);
  for (int y = 0; y < h; ++y) {
    int row = surface->IsBottomUp() ? h - 1 - y : y;
    const PixelWord* src = surface->PixelBits() + size_t(row) * size_t(surface->RowSpan());
    unsigned char* dst = &rgba[size_t(y) * size_t(w) * 4];
    for (int x = 0; x < w; ++x) {
      PixelWord p = src[x];
      dst[4 * x + 0] = (p >> 16) & 0xFF;
      dst[4 * x + 1] = (p >> 8) & 0xFF;
      dst[4 * x + 2] = p & 0xFF;
      dst[4 * x + 3] = p >> 24;
    }
  }

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
}
