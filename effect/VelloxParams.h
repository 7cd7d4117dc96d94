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
  kVelloxPattern = 7,
  kVelloxSteps = 8,
  kVelloxStep1 = 9,  // STEP 1 to STEP 16 follow in order
  kVelloxGate = 25,
  kVelloxSwing = 26,
  kVelloxOffset = 27,
  kVelloxRetrig = 28,
  kVelloxNumParams = 29,
};

// Step levels of the pattern gate, and the STEPS default.
constexpr int kVelloxMaxSteps = 16;
constexpr int kVelloxStepsDefault = 8;

// The parameters that the first saved-state layout holds, in its order; the
// later ones travel in the tagged extension after it.
constexpr int kVelloxFirstLayoutParams = 5;

// NOTE entries, in the parameter's order.
constexpr int kVelloxNoteCount = 15;
constexpr int kVelloxNoteDefault = 8;  // "1/4"

// Length of a NOTE entry in frames, given the quarter notes of a bar and the
// frames of a quarter note; an index outside the list is limited to it. One
// rounding, not one per factor: exact wherever the length is a double.
double VelloxNoteFrames(int index, double barQuarters, double framesPerQuarter);

// Defines the parameters on a freshly constructed plug-in base.
void DefineVelloxParams(IEffectBase& plug);
