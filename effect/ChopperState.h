#pragma once

#include <cstdint>

#include "ChopperTempoRange.h"

// The chopper's state in parts: the settings, written only from parameter
// values; the smoother; the cycle clock; and, with SYNC on, where the clock
// stands against the song. All but the settings persist for the effect's life.

struct ChopperSettings {
  double fadeRate = 5.0;     // smoother cut-off rate
  double chopPeriod = 0.22;  // seconds
  double dryLevel = 0.0;     // linear level during the chopped phase
  double outputGain = 1.0;   // linear
  bool sync = false;         // SYNC
  int note = 8;              // NOTE entry
  // The pattern gate: STEPS steps per cycle, each open for GATE of its length
  // at its own level, every second one SWING of a step late; the right
  // channel OFFSET of a cycle behind the left. Fractions, not percent.
  bool pattern = false;
  int steps = 8;
  double stepLevels[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  double gate = 0.5;
  double swing = 0.0;
  double offset = 0.0;
  bool retrig = false;  // RETRIG: note-ons restart the cycle
};

struct ChopperSmoother {
  double a = 0.0;  // coefficient
  double b = 1.0;  // 1 - a
  double z = 0.0;  // state
  // The right channel's state where its level differs from the left's (a
  // stereo offset, or since one); equal to z otherwise.
  double zr = 0.0;
};

// The pattern gate's cycle cut into pieces of constant level per channel,
// made from the settings whenever they or the cycle's length change: piece j
// covers clock positions [end[j - 1], end[j]), the first from start. A clock
// position at or past wrap moves back by length.
constexpr int kChopperMaxPieces = 4 * 16 + 2;
struct ChopperPlan {
  bool stale = true;    // the settings changed since it was made
  double length = 0.0;  // the cycle length it was made for, in frames
  double shift = 0.0;   // how far positions run behind the frames' exact time
  double start = 0.0;
  double wrap = 0.0;
  int pieces = 0;
  double end[kChopperMaxPieces] = {};
  double left[kChopperMaxPieces] = {};
  double right[kChopperMaxPieces] = {};
};

// Note-ons waiting for their frame: offsets into the host block they came with.
constexpr int kChopperMaxNotes = 128;
struct ChopperNotes {
  uint32_t block = 0;
  int count = 0;
  int32_t frames[kChopperMaxNotes] = {};
};

// The cycle clock counts frames, so where the level switches does not depend
// on how the host cuts the audio into blocks. base + count is the position of
// the next frame in the cycle, in frames: count is the whole frames since the
// clock was last set, so every position is the same sum whatever the block
// partition. The free and the synced cycle each run one; only where they set
// it differs.
struct ChopperClock {
  double base = 0.0;
  int64_t count = 0;
};

// With SYNC on: the cycle the clock counts in and the song frame it was last
// placed at. A song frame is a position in frames at the current tempo from
// the song's quarter note 0.
struct ChopperSong {
  ChopperClock clock;
  double tempo = 120.0;           // last tempo the host gave, limited (BPM)
  double bar = 4.0;               // quarter notes of a bar from the last time signature
  double length = 0.0;            // cycle length the clock counts in; 0 before the first synced call
  bool onSong = false;            // placed from the host's song and run on with it since
  double songFrame = 0.0;         // the song frame of the placement, while onSong
  int64_t songFrames = 0;         // frames run since the placement
  double framesPerQuarter = 0.0;  // the tempo of the placement, in frames per quarter note
  double placedBar = 0.0;         // the bar of the placement
  uint32_t block = 0;             // host block of the last synced call
  int64_t nextOffset = -1;        // where in that block the next call would go on
};

struct ChopperState {
  ChopperSettings settings;
  ChopperSmoother smoother;
  ChopperClock free;      // the cycle of CHOP
  double freeRate = 0.0;  // sample rate the free clock counts in; 0 until the first block
  ChopperSong song;       // the cycle of NOTE, with SYNC on
  ChopperPlan plan;       // the pattern gate's cycle, with PATTERN on
  ChopperNotes notes;     // with RETRIG on
};

// What the host said about the song at the current block.
struct ChopperTransport {
  bool songPosition = false;  // quarters holds the song position of the host block's first frame
  double quarters = 0.0;
  double samples = 0.0;  // the same position in frames, as the host counts them (used where it agrees)
  double tempo = 0.0;    // BPM; ignored unless finite and positive
  int timeSigNumerator = 0;
  int timeSigDenominator = 0;  // a time signature counts when both are positive
  int64_t blockOffset = 0;     // frames from the host block's first frame to this call's first frame
  uint32_t block = 0;          // changes with every host block
};

// Takes a parameter's plain value into the settings; non-finite values are
// ignored so they never reach the audio.
void ChopperApplyParam(ChopperState& state, int index, double value);

// How far the host's song position may stray from the running synced clock
// before it counts as a jump, in quarter notes: twice the coarsest rounding
// hosts are known to apply (1/960 quarter).
constexpr double kChopperSongTolerance = 1.0 / 480.0;

// One block of stereo audio (both entries of inputs and outputs valid). The
// clock advances one step per frame, bypassed or not; when bypass is set the
// input is copied through and the smoother holds.
void ChopperProcess(ChopperState& state, double sampleRate, bool bypass, double* const* inputs, double* const* outputs,
                    int frames);

// Restarts the running cycle (the free one, or the synced one with SYNC on)
// at its first frame: the next frame processed starts step 1.
void ChopperRestart(ChopperState& state);

// Keeps a note-on that came with host block `block` at `frame` in it, in
// frame order; notes of an earlier block are dropped. A full queue drops the note.
void ChopperQueueNote(ChopperNotes& notes, uint32_t block, int32_t frame);

// One block with SYNC on: as ChopperProcess, the cycle NOTE long at the
// host's tempo and on the song's grid.
void ChopperProcessSynced(ChopperState& state, double sampleRate, bool bypass, const ChopperTransport& transport,
                          double* const* inputs, double* const* outputs, int frames);
