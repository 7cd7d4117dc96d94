#pragma once

#include "StateChunk.h"

// One preset: a named snapshot of the parameter values.
struct PlugPreset {
  bool initialised = false;
  char name[256] = "empty";
  StateChunk values;
};
