#include "VelloxEditor.h"

#include "ArtworkIds.h"
#include "IBitmapControl.h"
#include "IEffectBase.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "IURLControl.h"
#include "VelloxArtworkSource.h"
#include "VelloxParams.h"

namespace {

IGraphics* CreateEditorSurface(IEffectBase& plug) {
  IGraphics* editor = CreatePlatformGraphics(&plug, kVelloxEditorWidth, kVelloxEditorHeight, kVelloxEditorFrameRate,
                                             VelloxArtworkSource());
  editor->SetHiResArtworkOffset(kArtwork2xOffset);  // every image has its twin there
  return editor;
}

struct KnobPlacement {
  int artworkId;
  const char* path;
  int x, y;
  int param;
};

// Left to right: FADE, CHOP, DRY, OUTPUT.
constexpr KnobPlacement kKnobs[] = {
    {kArtworkFade, kArtworkFadePath, 191, 26, kVelloxFade},
    {kArtworkChop, kArtworkChopPath, 341, 26, kVelloxChop},
    {kArtworkDry, kArtworkDryPath, 490, 26, kVelloxDry},
    {kArtworkOutput, kArtworkOutputPath, 626, 40, kVelloxOutput},
};

}  // namespace

void BuildVelloxEditor(IEffectBase& plug) {
  IGraphics* editor = CreateEditorSurface(plug);

  IBitmapRef background = editor->LoadArtwork(kArtworkBackground, kArtworkBackgroundPath, kArtworkBackgroundFrames);
  editor->AddBackground(new IBitmapControl(&plug, 0, 0, -1, background, kBlendReplace));

  IBitmapRef bypass = editor->LoadArtwork(kArtworkBy, kArtworkByPath, kArtworkSwitchFrames);
  editor->AddControl(new ISwitchControl(&plug, 91, 53, kVelloxBy, bypass, kBlendAlpha));

  for (const KnobPlacement& knob : kKnobs) {
    IBitmapRef strip = editor->LoadArtwork(knob.artworkId, knob.path, kArtworkKnobFrames);
    editor->AddControl(new IKnobMultiControl(&plug, knob.x, knob.y, knob.param, strip));
  }

  // The link rectangle reaches past the surface: the clickable part is the
  // lower right corner from (685, 155).
  editor->AddControl(new IURLControl(&plug, IBox{685, 155, 785, 255}, kVelloxProductPage));

  plug.BindGraphics(editor);
}
