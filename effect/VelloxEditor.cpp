#include "VelloxEditor.h"

#include "ArtworkIds.h"
#include "IBitmapControl.h"
#include "IEffectBase.h"
#include "IKnobControl.h"
#include "ISelectorControl.h"
#include "ISwitchControl.h"
#include "IURLControl.h"
#include "VelloxArtworkSource.h"
#include "VelloxCycleDisplay.h"
#include "VelloxCyclePosition.h"
#include "VelloxParams.h"
#include "VelloxPresetControls.h"
#include "VelloxPresets.h"
#include "VelloxStepBars.h"

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

static_assert(kArtworkNoteFrames == kVelloxNoteCount, "the NOTE strip has one frame per entry");
static_assert(kArtworkPresetFrames == kVelloxFactoryPresets, "the PRESET strip has one name per factory program");
static_assert(kArtworkStepsListFrames == kVelloxMaxSteps, "the STEPS strip has one frame per entry");

// Images drawn alike are stored, and so decoded, once.
IBitmapRef LoadStored(IGraphics& editor, int id, const char* path, int frames) {
  return editor.LoadArtwork(StoredArtworkId(id), path, frames);
}

// The link area is the top row's lower right corner.
constexpr int kLinkLeft = kVelloxEditorWidth - 99;
constexpr int kLinkTop = 155;
constexpr int kTopRowHeight = 184;

struct SmallKnob {
  int artworkId;
  const char* path;
  int x, y;
  int param;
};

constexpr SmallKnob kPatternKnobs[] = {
    {kArtworkGate, kArtworkGatePath, 371, 299, kVelloxGate},
    {kArtworkSwing, kArtworkSwingPath, 445, 299, kVelloxSwing},
    {kArtworkOffset, kArtworkOffsetPath, 519, 299, kVelloxOffset},
};

// The pattern panel below the top row: step bars, the cycle display and the
// pattern's own controls.
void AddPatternPanel(IEffectBase& plug, IGraphics& editor) {
  IBitmapRef bar = LoadStored(editor, kArtworkStep, kArtworkStepPath, kArtworkStepFrames);
  editor.AddControl(new VelloxStepBars(&plug, 190, 196, bar));
  // The playhead follows the effect's published position, where there is one.
  auto* source = dynamic_cast<VelloxEditorSource*>(&plug);
  editor.AddControl(
      new VelloxCycleDisplay(&plug, IBox(622, 196, 892, 284), source ? &source->CyclePosition() : nullptr));

  IBitmapRef names = LoadStored(editor, kArtworkPreset, kArtworkPresetPath, kArtworkPresetFrames);
  editor.AddControl(new VelloxPresetName(&plug, 20, 206, names));
  editor.AddControl(new VelloxPresetStep(&plug, IBox(20, 240, 80, 262), -1, source));
  editor.AddControl(new VelloxPresetStep(&plug, IBox(90, 240, 150, 262), +1, source));

  IBitmapRef pattern = LoadStored(editor, kArtworkPattern, kArtworkPatternPath, kArtworkSwitchFrames);
  editor.AddControl(new ISwitchControl(&plug, 190, 296, kVelloxPattern, pattern, kBlendAlpha));
  IBitmapRef steps = LoadStored(editor, kArtworkStepsList, kArtworkStepsListPath, kArtworkStepsListFrames);
  editor.AddControl(new ISelectorControl(&plug, 275, 307, kVelloxSteps, steps));
  for (const SmallKnob& knob : kPatternKnobs) {
    IBitmapRef strip = LoadStored(editor, knob.artworkId, knob.path, kArtworkSmallKnobFrames);
    editor.AddControl(new IKnobMultiControl(&plug, knob.x, knob.y, knob.param, strip));
  }
  IBitmapRef retrig = LoadStored(editor, kArtworkRetrig, kArtworkRetrigPath, kArtworkSwitchFrames);
  editor.AddControl(new ISwitchControl(&plug, 591, 296, kVelloxRetrig, retrig, kBlendAlpha));
}

}  // namespace

void BuildVelloxEditor(IEffectBase& plug) {
  IGraphics* editor = CreateEditorSurface(plug);

  IBitmapRef background = LoadStored(*editor, kArtworkBackground, kArtworkBackgroundPath, kArtworkBackgroundFrames);
  editor->AddBackground(new IBitmapControl(&plug, 0, 0, -1, background, kBlendReplace));

  IBitmapRef bypass = LoadStored(*editor, kArtworkBy, kArtworkByPath, kArtworkSwitchFrames);
  editor->AddControl(new ISwitchControl(&plug, 91, 53, kVelloxBy, bypass, kBlendAlpha));

  for (const KnobPlacement& knob : kKnobs) {
    IBitmapRef strip = LoadStored(*editor, knob.artworkId, knob.path, kArtworkKnobFrames);
    editor->AddControl(new IKnobMultiControl(&plug, knob.x, knob.y, knob.param, strip));
  }

  // The tempo section, right of OUTPUT.
  IBitmapRef sync = LoadStored(*editor, kArtworkSync, kArtworkSyncPath, kArtworkSwitchFrames);
  editor->AddControl(new ISwitchControl(&plug, 738, 53, kVelloxSync, sync, kBlendAlpha));
  IBitmapRef note = LoadStored(*editor, kArtworkNote, kArtworkNotePath, kArtworkNoteFrames);
  editor->AddControl(new ISelectorControl(&plug, 818, 73, kVelloxNote, note));

  // The link rectangle reaches past the surface's right edge and ends with
  // the top row: the clickable part is its lower right corner from
  // (kLinkLeft, kLinkTop).
  editor->AddControl(
      new IURLControl(&plug, IBox{kLinkLeft, kLinkTop, kLinkLeft + 100, kTopRowHeight}, kVelloxProductPage));

  AddPatternPanel(plug, *editor);

  plug.BindGraphics(editor);
}
