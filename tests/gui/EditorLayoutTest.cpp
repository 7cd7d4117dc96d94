#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <typeinfo>
#include <vector>

#include "IBitmapControl.h"
#include "IEffectBase.h"
#include "IGraphics.h"
#include "IKnobControl.h"
#include "ISelectorControl.h"
#include "ISwitchControl.h"
#include "IURLControl.h"
#include "PIX_DeferredPng.h"
#include "PIX_SysBitmap.h"
#include "VelloxCycleDisplay.h"
#include "VelloxEditor.h"
#include "VelloxEffect.h"
#include "VelloxPresetControls.h"
#include "VelloxStepBars.h"

namespace {

using Effect = VelloxEffect<IEffectBase>;

enum Kind { kBackground, kSwitch, kKnob, kSelector, kLink };

struct Expected {
  Kind kind;
  IBox box;
  int param;
  int blend;
  int frames;
  int stripWidth, stripHeight;
  double value;  // normalised, at the parameters' defaults
};

// Control list order, rectangles, bindings and artwork of the editor.
const Expected kLayout[] = {
    {kBackground, IBox(0, 0, 912, 376), -1, kBlendReplace, 1, 912, 376, 0.0},
    {kSwitch, IBox(91, 53, 152, 106), 4, kBlendAlpha, 2, 61, 106, 0.0},
    {kKnob, IBox(191, 26, 294, 123), 0, kBlendAlpha, 61, 103, 5917, 0.0},
    {kKnob, IBox(341, 26, 442, 123), 1, kBlendAlpha, 61, 101, 5917, 0.0},
    {kKnob, IBox(490, 26, 591, 123), 2, kBlendAlpha, 61, 101, 5917, 0.0},
    {kKnob, IBox(626, 40, 700, 113), 3, kBlendAlpha, 61, 74, 4453, 0.5},
    {kSwitch, IBox(738, 53, 799, 106), 5, kBlendAlpha, 2, 61, 106, 0.0},
    {kSelector, IBox(818, 73, 890, 103), 6, kBlendAlpha, 15, 72, 450, 8.0 / 14.0},
    {kLink, IBox(813, 155, 913, 184), -1, kBlendAlpha, 0, 0, 0, 0.0},
};

// The pattern panel's controls after them, in order.
struct PanelControl {
  const std::type_info& type;
  IBox box;
  int param;
};
const PanelControl kPanel[] = {
    {typeid(VelloxStepBars), IBox(190, 196, 602, 284), 9},  // STEP 1 until the pointer picks a bar
    {typeid(VelloxCycleDisplay), IBox(622, 196, 892, 284), -1},
    {typeid(VelloxPresetName), IBox(20, 206, 150, 232), -1},
    {typeid(VelloxPresetStep), IBox(20, 240, 80, 262), -1},
    {typeid(VelloxPresetStep), IBox(90, 240, 150, 262), -1},
    {typeid(ISwitchControl), IBox(190, 296, 251, 349), 7},
    {typeid(ISelectorControl), IBox(275, 307, 347, 337), 8},
    {typeid(IKnobMultiControl), IBox(371, 299, 419, 347), 25},
    {typeid(IKnobMultiControl), IBox(445, 299, 493, 347), 26},
    {typeid(IKnobMultiControl), IBox(519, 299, 567, 347), 27},
    {typeid(ISwitchControl), IBox(591, 296, 652, 349), 28},
};

const IBitmapRef* ArtworkOf(const IControl* c) {
  if (auto* b = dynamic_cast<const IBitmapControl*>(c)) return &b->Artwork();
  if (auto* k = dynamic_cast<const IKnobMultiControl*>(c)) return &k->Artwork();
  return nullptr;
}

const std::type_info& TypeOf(Kind kind) {
  switch (kind) {
    case kBackground: return typeid(IBitmapControl);
    case kSwitch: return typeid(ISwitchControl);
    case kKnob: return typeid(IKnobMultiControl);
    case kSelector: return typeid(ISelectorControl);
    default: return typeid(IURLControl);
  }
}

class EditorLayoutTest : public ::testing::Test {
protected:
  EditorLayoutTest() : fx(&BuildVelloxEditor), g(dynamic_cast<IGraphics*>(fx.Graphics())) {}
  Effect fx;
  IGraphics* g;
};

}  // namespace

// Runs first in this program: the artwork cache is shared by every editor.
TEST_F(EditorLayoutTest, ArtworkIsDecodedWhenFirstPaintedAndStripsDrawnAlikeOnce) {
  ASSERT_NE(g, nullptr);
  std::vector<const PIX_DeferredPng*> artwork;
  for (int i = 0; i < g->NControls(); ++i) {
    if (const IBitmapRef* art = ArtworkOf(g->GetControl(i))) {
      auto* deferred = dynamic_cast<const PIX_DeferredPng*>(art->bitmap);
      ASSERT_NE(deferred, nullptr) << i;
      EXPECT_FALSE(deferred->IsDecoded()) << i;
      if (std::find(artwork.begin(), artwork.end(), deferred) == artwork.end()) artwork.push_back(deferred);
    }
  }
  // background, BY SYNC PATTERN and RETRIG, FADE, CHOP and DRY, OUTPUT, NOTE, STEPS, GATE SWING and
  // OFFSET, the program names
  EXPECT_EQ(artwork.size(), 9u);
  g->PaintRegion(IBox(0, 0, 912, 376));
  for (const PIX_DeferredPng* deferred : artwork) EXPECT_TRUE(deferred->IsDecoded());
}

TEST_F(EditorLayoutTest, NineControlsInOrderWithTheirArtworkAndBindings) {
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Width(), 912);
  EXPECT_EQ(g->Height(), 376);
  EXPECT_EQ(g->FrameRate(), 25);
  EXPECT_EQ(g->MissingArtworkCount(), 0);
  ASSERT_EQ(g->NControls(), 9 + int(std::size(kPanel)));
  for (size_t i = 0; i < std::size(kPanel); ++i) {
    SCOPED_TRACE(9 + i);
    const IControl* c = g->GetControl(9 + int(i));
    EXPECT_TRUE(typeid(*c) == kPanel[i].type);
    EXPECT_EQ(c->Box(), kPanel[i].box);
    EXPECT_EQ(c->ParamIdx(), kPanel[i].param);
  }

  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const Expected& e = kLayout[i];
    const IControl* c = g->GetControl(i);
    EXPECT_TRUE(typeid(*c) == TypeOf(e.kind));
    EXPECT_EQ(c->Box(), e.box);
    EXPECT_EQ(c->TargetBox(), e.box);
    EXPECT_EQ(c->ParamIdx(), e.param);
    EXPECT_EQ(c->Blend().method, e.blend);
    EXPECT_EQ(c->Blend().weight, 1.0f);
    EXPECT_FALSE(c->IsHidden());
    EXPECT_FALSE(c->IsGrayed());
    if (const IBitmapRef* art = ArtworkOf(c)) {
      EXPECT_NE(art->bitmap, nullptr);
      EXPECT_EQ(art->frameCount, e.frames);
      EXPECT_EQ(art->width, e.stripWidth);
      EXPECT_EQ(art->height, e.stripHeight);
      EXPECT_FALSE(art->framesHorizontal);
    }
    if (auto* knob = dynamic_cast<const IKnobMultiControl*>(c)) {
      EXPECT_EQ(knob->Direction(), kKnobVertical);
      EXPECT_EQ(knob->Gearing(), 4.0);
    }
  }

  auto* link = dynamic_cast<const IURLControl*>(g->GetControl(8));
  ASSERT_NE(link, nullptr);
  EXPECT_STREQ(link->Address(), kVelloxProductPage);
  EXPECT_LE(std::strlen(kVelloxProductPage), 255u);
  EXPECT_STREQ(link->FallbackAddress(), "");
  EXPECT_STREQ(link->Title(), "");
}

TEST_F(EditorLayoutTest, BoundAtTheDefaultsAndCapturedAsTheDefaultPreset) {
  ASSERT_NE(g, nullptr);
  EXPECT_NE(g->DrawSurface(), nullptr);  // bound: the surfaces exist
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const IControl* c = g->GetControl(i);
    if (c->ParamIdx() < 0) continue;
    EXPECT_DOUBLE_EQ(c->GetValue(), kLayout[i].value);
    EXPECT_DOUBLE_EQ(c->DefaultValue(), kLayout[i].value);  // what a double click restores
  }
  EXPECT_EQ(FrameForValue(61, g->GetControl(5)->GetValue()), 31);
  EXPECT_EQ(FrameForValue(2, g->GetControl(1)->GetValue()), 1);
  EXPECT_EQ(FrameForValue(15, g->GetControl(7)->GetValue()), 9);  // 1/4
  ASSERT_EQ(fx.NPresets(), kVelloxFactoryPresets);
  EXPECT_TRUE(fx.PresetInitialised(0));
  EXPECT_STREQ(fx.PresetName(0), "Default");
}

TEST_F(EditorLayoutTest, TheLinkCornerReachesPastTheEdges) {
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->ControlAt(828, 170), 8);
  EXPECT_EQ(g->ControlAt(911, 183), 8);
  EXPECT_EQ(g->ControlAt(813, 155), 8);
  EXPECT_EQ(g->ControlAt(808, 170), 0);  // the background beside it
  EXPECT_EQ(g->ControlAt(828, 154), 0);
  EXPECT_EQ(g->ControlAt(650, 60), 5);  // the OUTPUT knob
  EXPECT_EQ(g->ControlAt(100, 60), 1);  // the BY switch
}

// Steady-state painting allocates nothing: counts every allocation made while
// host values arrive and the timer repaints the editor.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};
}  // namespace

static void* CountedAllocation(std::size_t size) noexcept {
  if (gCounting) ++gAllocations;
  return std::malloc(size ? size : 1);
}
static void* CountedOrThrow(std::size_t size) {
  if (void* p = CountedAllocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size) { return CountedOrThrow(size); }
void* operator new[](std::size_t size) { return CountedOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST_F(EditorLayoutTest, PaintingAtSteadyStateAllocatesNothing) {
  ASSERT_NE(g, nullptr);
  IBox dirty;
  for (int guard = 0; g->CollectDirtyBox(dirty) && guard < 4; ++guard) g->PaintRegion(dirty);
  g->PaintRegion(IBox(0, 0, 912, 376));  // every artwork drawn once, outside the count

  int ticks = 0;
  gCounting = true;
  for (int n = 0; n < 50; ++n) {
    fx.GetParam(n % 7)->SetFromNormalized((n % 5) / 4.0);
    // The pattern panel too: step bars, the curve made again, the playhead's switch.
    fx.GetParam(kVelloxStep1 + n % kVelloxMaxSteps)->SetFromNormalized((n % 3) / 2.0);
    fx.GetParam(kVelloxPattern)->SetFromNormalized(n % 2);
    for (; g->CollectDirtyBox(dirty); ++ticks) g->PaintRegion(dirty);
  }
  g->PaintRegion(IBox(0, 0, 912, 376));
  gCounting = false;
  EXPECT_EQ(gAllocations.load(), 0);
  EXPECT_GE(ticks, 80);  // nearly every new value changed a control: two ticks each
}

// On a high-density screen the editor is as sharp as at 1: across the FADE
// ring (at full value, orange over the panel) and across the product name,
// the sharpest edge takes no more device pixels at 1.5 and 2 than at 1.
// Enlarged 1x artwork would take about twice as many at 2.
namespace {
double Luminance(PixelWord p) { return 0.3 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) + 0.11 * (p & 0xFF); }

// The width in pixels of the profile's sharpest edge: its full contrast over
// its steepest step (1 for an edge that jumps from darkest to lightest).
double SharpestEdgeWidth(const std::vector<double>& profile) {
  const auto [lo, hi] = std::minmax_element(profile.begin(), profile.end());
  double steepest = 0;
  for (size_t i = 1; i < profile.size(); ++i) steepest = std::max(steepest, std::abs(profile[i] - profile[i - 1]));
  return steepest > 0 ? (*hi - *lo) / steepest : 1e9;
}
}  // namespace

TEST_F(EditorLayoutTest, AtHigherScalesEdgesAreAsCrispAsAtOne) {
  ASSERT_NE(g, nullptr);
  g->ShowParamValue(kVelloxFade, 1.0, true);
  // Sharpest edge of the ring and of the name, in device pixels, at each scale;
  // the last at 2 from the 1x artwork alone, enlarged.
  const double scales[] = {1.0, 1.5, 2.0, 2.0};
  double widths[4][2] = {};
  for (int k = 0; k < 4; ++k) {
    if (k == 3) {
      g->SetHiResArtworkOffset(0);
      ASSERT_TRUE(g->SetContentScale(1.0));
    }
    ASSERT_TRUE(g->SetContentScale(scales[k]));
    g->PaintRegion(IBox(0, 0, kVelloxEditorWidth, kVelloxEditorHeight));
    const PIX_IBitmap& surface = *g->DrawSurface();
    ASSERT_EQ(surface.Width(), g->ToDevice(kVelloxEditorWidth));
    auto at = [&](int x, int y) { return Luminance(surface.PixelBits()[y * surface.RowSpan() + x]); };
    std::vector<double> ring, name;
    for (int y = g->ToDevice(26); y < g->ToDevice(50); ++y) ring.push_back(at(g->ToDevice(242), y));
    for (int x = g->ToDevice(20); x < g->ToDevice(115); ++x) name.push_back(at(x, g->ToDevice(30)));
    widths[k][0] = SharpestEdgeWidth(ring);
    widths[k][1] = SharpestEdgeWidth(name);
  }
  for (int edge = 0; edge < 2; ++edge) {
    SCOPED_TRACE(edge ? "name" : "ring");
    // A quarter of a device pixel for anti-aliasing that lands differently.
    EXPECT_LE(widths[1][edge], widths[0][edge] + 0.25);
    EXPECT_LE(widths[2][edge], widths[0][edge] + 0.25);
    EXPECT_GT(widths[3][edge], widths[0][edge] * 1.5);  // the measure tells enlarged from drawn
  }
}
