// Synthetic artwork for the benchmarks.
#pragma once

#include <vector>

#include "PIX_Bitmap.h"

// A knob-like frame: an opaque shaded disc with an antialiased rim on a
// transparent background, the mix of alphas the editor's artwork has.
void PaintKnobFrame(PixelWord* pixels, int span, int w, int h);

// Every pixel with a different, mostly partial alpha: the slow case.
void PaintNoise(PixelWord* pixels, int span, int w, int h);

// A filmstrip of knob frames encoded as an RGBA PNG.
std::vector<unsigned char> EncodeFilmstrip(int w, int h);
