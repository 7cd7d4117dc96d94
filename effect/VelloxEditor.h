#pragma once

#include "VelloxIdentity.h"  // kVelloxProductPage, which the link area opens

class IEffectBase;

// Editor geometry.
constexpr int kVelloxEditorWidth = 912;
constexpr int kVelloxEditorHeight = 376;  // the top row, 184 high, and the pattern panel
constexpr int kVelloxEditorFrameRate = 25;

// Builds the whole editor (surface, artwork, every control) and binds it
// to the plug-in. Called once from the effect's constructor, after the
// parameters exist and before the default preset is captured.
void BuildVelloxEditor(IEffectBase& plug);
