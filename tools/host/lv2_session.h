#pragma once
// Linux: an LV2 bundle hosted through lilv, as the tool's commands need it:
// the parameters are the plug-in's control inputs, and each block is run in
// pieces cut at the frames where a control changes, so that every change
// takes effect at its frame. The song position goes to the atom input as a
// time:Position with every piece. The stereo or the mono plug-in of the
// bundle is chosen by the channel count when processing starts.
#include <lilv/lilv.h>

#include "lv2/urid/urid.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vellox::host {

struct Lv2Control {
  uint32_t index = 0;
  std::string symbol, name, unit;
  float minimum = 0.0f, maximum = 1.0f, value = 0.0f;
  bool integer = false, enabled = false;              // enabled: the host's enable switch
  std::vector<std::pair<float, std::string>> points;  // scale points by value
};

class Lv2Session {
public:
  static std::unique_ptr<Lv2Session> Create(const std::string& bundle, std::string& error);
  ~Lv2Session();
  Lv2Session(const Lv2Session&) = delete;
  Lv2Session& operator=(const Lv2Session&) = delete;

  std::vector<Lv2Control>& Controls() { return mControls; }

  bool Start(double sampleRate, uint32_t maxBlock, uint32_t channels, std::string& error);
  void Stop();
  void SetTransport(double tempo, double startBeat);
  // A control's new value from `frame` of the next block on.
  void QueueValue(uint32_t port, float value, uint32_t frame);
  // A MIDI note-on at `frame` of the next block, on the atom input.
  void QueueNoteOn(uint32_t frame) { mNoteFrames.push_back(frame); }
  bool Process(const float* const* inputs, float* const* outputs, uint32_t frames);

  // The plug-in's state through its state interface, as one property of
  // any type; false where the plug-in keeps none or refuses it. Only while
  // started (LV2 state belongs to an instance).
  bool SaveState(std::vector<uint8_t>& bytes);
  bool LoadState(const std::vector<uint8_t>& bytes);

  // Interns a URI (the host's urid:map).
  uint32_t Map(const char* uri);

private:
  Lv2Session() = default;
  // The piece's events: its song position, then the note-ons in it.
  void WriteEvents(int64_t frame, uint32_t offset, uint32_t frames);
  void RunPiece(const float* const* inputs, float* const* outputs, uint32_t offset, uint32_t frames);

  LilvWorld* mWorld = nullptr;
  LV2_URID_Map mMap{};
  std::vector<const LilvPlugin*> mPlugins;  // the bundle's plug-ins
  LilvInstance* mInstance = nullptr;
  uint32_t mChannels = 0;
  uint32_t mFirstAudio = 0;
  uint32_t mEventsPort = UINT32_MAX;
  std::vector<Lv2Control> mControls;
  std::vector<float> mPortValues;  // by port index
  struct Change {
    uint32_t frame, port;
    float value;
  };
  std::vector<Change> mChanges;
  std::vector<uint32_t> mNoteFrames;  // the next block's note-ons
  std::vector<std::string> mUris;
  struct Property {
    uint32_t key = 0, type = 0, flags = 0;
    std::vector<uint8_t> value;
  };
  std::vector<Property> mStateProperties;
  std::vector<uint64_t> mAtoms;  // the atom input's buffer, 8-byte aligned
  double mSampleRate = 44100.0;
  bool mTransport = false;
  double mTempo = 120.0, mStartBeat = 0.0;
  int64_t mStartSample = 0, mTransportFrame = 0, mFramesDone = 0;
};

}  // namespace vellox::host
