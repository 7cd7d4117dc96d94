#pragma once

class IEffectBase;

// Parameter indices of the effect; the index is the host id, the control
// binding and the position in saved state.
enum VelloxParam : int {
  kVelloxFade = 0,
  kVelloxChop = 1,
  kVelloxDry = 2,
  kVelloxOutput = 3,
  kVelloxBy = 4,
  kVelloxSync = 5,
  kVelloxNote = 6,
  kVelloxNumParams = 7,
};

// The parameters that the first saved-state layout holds, in its order; the
// later ones travel in the tagged extension after it.
constexpr int kVelloxFirstLayoutParams = 5;

// NOTE entries, in the parameter's order.
constexpr int kVelloxNoteCount = 15;
constexpr int kVelloxNoteDefault = 8;  // "1/4"

// Length of a NOTE entry in quarter notes, given the quarter notes of a bar;
// an index outside the list is limited to it.
double VelloxNoteQuarters(int index, double barQuarters);

// Defines the parameters on a freshly constructed plug-in base.
void DefineVelloxParams(IEffectBase& plug);
