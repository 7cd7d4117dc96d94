#pragma once

#include <cstdint>

// Four-character code with the first character in the most significant byte.
constexpr int32_t MakeFourCC(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// One legal channel configuration.
struct ChannelIOPair {
  int32_t inputs;
  int32_t outputs;
};

struct MidiMessage {
  int32_t frameOffset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// Host transport as of the last processed block.
struct HostTransport {
  double tempo = 0.0;
  double samplePosition = 0.0;
  double quarterNotePosition = 0.0;
  double lastBarStart = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int32_t timeSigNumerator = 0;
  int32_t timeSigDenominator = 0;
  bool playing = false;
  bool cycling = false;
  // Which of the above the host gave for the current block.
  bool tempoValid = false;
  bool quarterNotesValid = false;
  bool timeSigValid = false;
  // Frames from the host block's first frame, where the positions above
  // hold, to the first frame of the current ProcessBlock call, and a number
  // that changes with every host block.
  int32_t blockOffset = 0;
  uint32_t block = 0;
};
