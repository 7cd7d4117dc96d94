// Presenting boxes of a surface in a real X window, through shared memory and
// through plain image requests (what a remote display gets): the window shows
// exactly the surface inside each box presented and nothing outside it.
#include <gtest/gtest.h>

#include <random>

#include "PIX_SysBitmap.h"
#include "X11Presenter.h"
#include "snapshot_x11_host.h"

namespace {

constexpr int kWidth = 784, kHeight = 184;

void Fill(PIX_SysBitmap& surface, uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) surface.PixelBits()[size_t(y) * surface.RowSpan() + x] = random() & 0xFFFFFF;
}

void PresentAndCompare(bool sharedMemory) {
  std::string error;
  auto frame = vellox::host::X11EditorFrame::Create(kWidth, kHeight, 0, 0, error);
  ASSERT_TRUE(frame) << error << " (tools/test.sh runs these tests on a private Xvfb display)";
  PIX_SysBitmap first(kWidth, kHeight), second(kWidth, kHeight);
  Fill(first, 1);
  Fill(second, 2);
  {
    X11Presenter presenter(frame->Connection(), frame->Window(), 24, kWidth, kHeight, sharedMemory);
    if (sharedMemory) {
      ASSERT_TRUE(presenter.UsesSharedMemory()) << "the local display offers no shared memory";
    }
    EXPECT_EQ(presenter.UsesSharedMemory(), sharedMemory);
    ASSERT_TRUE(presenter.Present(first, IBox(0, 0, kWidth, kHeight)));
    // A box reaching past the window is clipped, not refused.
    const IBox box(100, 20, 900, 120);
    ASSERT_TRUE(presenter.Present(second, box));
    frame->Sync();
    vellox::host::RgbaImage shown;
    ASSERT_TRUE(frame->Capture(shown, error)) << error;
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const PIX_SysBitmap& source = box.Contains(x, y) ? second : first;
        wrong += shown.Rgb(x, y) != (source.PixelBits()[size_t(y) * source.RowSpan() + x] & 0xFFFFFF);
      }
    EXPECT_EQ(wrong, 0);
  }
  frame->Sync();
}

TEST(X11Presenter, SharedMemoryShowsExactlyThePresentedBoxes) { PresentAndCompare(true); }

TEST(X11Presenter, ImageRequestsShowExactlyThePresentedBoxes) { PresentAndCompare(false); }

}  // namespace
