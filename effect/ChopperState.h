#pragma once

#include <cstdint>

#include "ChopperTempoRange.h"

// Derived state of the chopper. The four settings are written only from
// parameter values; the clock and the smoother persist for the effect's life.
//
// The cycle clock counts frames, so where the level switches does not depend
// on how the host cuts the audio into blocks. Frame n of a run sits at
// position n, so a switch at 0.4 s falls on the frame that starts at 0.4 s.
// The clock holds the position of the frame last processed, clockBase +
// clockFrames (one before the first frame at the start): clockFrames counts
// whole frames since the last wrap and clockBase is where that wrap left the
// clock. Keeping the count separate makes every position the same sum
// whatever the block partition.
//
// With SYNC on a second clock counts the cycle of NOTE at the host's tempo:
// syncBase + syncFrames is the position of the next frame in the cycle, in
// frames plus one half, so that a cycle starts on the frame nearest its grid
// line. It is taken from the host's song position at each host block (and
// when the cycle length changes) and runs on by itself between them.
struct ChopperState {
  double fadeRate = 5.0;        // smoother cut-off rate
  double chopPeriod = 0.22;     // seconds
  double dryLevel = 0.0;        // linear level during the chopped phase
  double outputGain = 1.0;      // linear
  double clockBase = -1.0;      // frames
  int64_t clockFrames = 0;      // frames since the last wrap
  double clockRate = 0.0;       // sample rate the clock counts in; 0 until the first block
  double a = 0.0;               // smoother coefficient
  double b = 1.0;               // 1 - a
  double z = 0.0;               // smoother state
  bool sync = false;            // SYNC
  int note = 8;                 // NOTE entry
  double syncTempo = 120.0;     // last tempo the host gave, limited (BPM)
  double syncBar = 4.0;         // quarter notes of a bar from the last time signature
  double syncBase = 0.0;        // frames + 0.5
  int64_t syncFrames = 0;       // frames since syncBase was set
  double syncCycle = 0.0;       // cycle length the position counts in; 0 before the first synced block
  uint32_t syncBlock = 0;       // host block of the last synced call
  int64_t syncNextOffset = -1;  // where in that block the next call would go on
};

// What the host said about the song at the current block.
struct ChopperTransport {
  bool songPosition = false;  // quarters holds the song position of the host block's first frame
  double quarters = 0.0;
  double tempo = 0.0;  // BPM; ignored unless finite and positive
  int timeSigNumerator = 0;
  int timeSigDenominator = 0;  // a time signature counts when both are positive
  int64_t blockOffset = 0;     // frames from the host block's first frame to this call's first frame
  uint32_t block = 0;          // changes with every host block
};

// Where the level switches, in frames of the clock, for a chop period in
// seconds: the chopped level starts at dryStart (chop - 0.1 s, which is also
// the cycle length) and the cycle wraps at wrap (chop).
struct ChopperBoundaries {
  double dryStart;
  double wrap;
};
ChopperBoundaries ChopperBoundariesFor(double chopPeriod, double sampleRate);

// The clock position in seconds.
double ChopperClockSeconds(const ChopperState& state);

// Level the smoother aims at for the current position in the cycle.
double ChopperTarget(const ChopperState& state);

// Takes a parameter's plain value into the derived state; non-finite values
// are ignored so they never reach the audio.
void ChopperApplyParam(ChopperState& state, int index, double value);

// The synced cycle: its length in frames and where the chopped level starts.
struct ChopperSyncCycle {
  double length;
  double dryStart;
};
ChopperSyncCycle ChopperSyncCycleFor(const ChopperState& state, double sampleRate);

// One block with SYNC on: as ChopperProcess, the level from the synced cycle.
void ChopperProcessSynced(ChopperState& state, double sampleRate, bool bypass, const ChopperTransport& transport,
                          double* const* inputs, double* const* outputs, int frames);

// One block of stereo audio (both entries of inputs and outputs valid). The
// clock advances one step per frame, bypassed or not; when bypass is set the
// input is copied through and the smoother holds.
void ChopperProcess(ChopperState& state, double sampleRate, bool bypass, double* const* inputs, double* const* outputs,
                    int frames);
