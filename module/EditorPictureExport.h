#pragma once
// An export of the Linux module for programs that want a picture of the
// editor where no window can open (no display): the editor of an effect this
// module made paints into the caller's pixels, at the effect's current values
// and at the given content scale (1 to 3), as a view with that factor shows it.
#include <cstdint>

#include "pluginterfaces/base/funknown.h"

// Reports the editor's size in device pixels in *width and *height. With
// `pixels` given and `capacity` (in pixels) at least width x height, it also
// paints the whole editor there, top row first, one 0x00RRGGBB word a pixel.
// kResultOk when done; kInvalidArgument for a null size, too small a buffer,
// a scale outside 1 to 3 or an object that is not an effect of this module; kResultFalse when the
// effect has no editor or painting failed.
using VelloxPaintEditorFn = Steinberg::tresult(PLUGIN_API*)(Steinberg::FUnknown* effect, double scale, uint32_t* pixels,
                                                            int64_t capacity, int32_t* width, int32_t* height);
inline constexpr const char* kVelloxPaintEditorExport = "VelloxPaintEditor";
