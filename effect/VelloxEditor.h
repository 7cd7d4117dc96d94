#pragma once

class IEffectBase;

// Editor geometry and the product page the link area opens.
constexpr int kVelloxEditorWidth = 784;
constexpr int kVelloxEditorHeight = 184;
constexpr int kVelloxEditorFrameRate = 25;
constexpr const char* kVelloxProductPage = "https://www.quenwick.com/products/vellox";

// Builds the whole editor (surface, artwork, the seven controls) and binds it
// to the plug-in. Called once from the effect's constructor, after the
// parameters exist and before the default preset is captured.
void BuildVelloxEditor(IEffectBase& plug);
