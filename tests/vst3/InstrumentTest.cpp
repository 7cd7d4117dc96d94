#include <gtest/gtest.h>

#include <vector>

#include "EffectRig.h"
#include "pluginterfaces/vst/ivstevents.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The adapter with an instrument's settings: no inputs, four outputs, MIDI in.
class InstrumentProbe : public IEffectVST3 {
public:
  InstrumentProbe() : IEffectVST3(1, "0-4", 1, "Probe", "", "Maker", 1, 2, 0x10000, 1, 0, true, true) {
    GetParam(0)->Define("GAIN", 0.5, 0.0, 1.0, 0.01);
    CaptureFreePreset("-");
  }
  void HandleMidiIn(const MidiMessage& message) override { received.push_back(message); }
  std::vector<MidiMessage> received;
};

class FakeEventList : public IEventList {
public:
  int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()) + 1; }
  tresult PLUGIN_API getEvent(int32 index, Event& e) override {
    if (index >= static_cast<int32>(events.size())) return kResultFalse;  // one more than it can deliver
    e = events[static_cast<size_t>(index)];
    return kResultOk;
  }
  tresult PLUGIN_API addEvent(Event&) override { return kResultFalse; }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  std::vector<Event> events;
};

std::string Name(const TChar* text) {
  std::string s;
  for (; *text; ++text) s.push_back(static_cast<char>(*text));
  return s;
}

}  // namespace

TEST(Instrument, GetsStereoOutputPairsAMidiBusAndNoBypass) {
  auto* probe = new InstrumentProbe();
  auto* component = static_cast<IComponent*>(probe);
  ASSERT_EQ(component->initialize(nullptr), kResultOk);
  EXPECT_EQ(component->getBusCount(kAudio, kInput), 0);
  ASSERT_EQ(component->getBusCount(kAudio, kOutput), 2);
  BusInfo info = {};
  component->getBusInfo(kAudio, kOutput, 1, info);
  EXPECT_EQ(Name(info.name), "Output 2");
  EXPECT_EQ(info.channelCount, 2);
  ASSERT_EQ(component->getBusCount(kEvent, kInput), 1);
  component->getBusInfo(kEvent, kInput, 0, info);
  EXPECT_EQ(Name(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);

  auto* controller = static_cast<IEditController*>(probe);
  ASSERT_EQ(controller->getParameterCount(), 2);  // "Preset" and the one parameter
  ParameterInfo p = {};
  controller->getParameterInfo(1, p);
  EXPECT_EQ(p.id, 0u);
  component->terminate();
  component->release();
}

TEST(Instrument, NoteEventsBecomeMidiMessages) {
  auto* probe = new InstrumentProbe();
  auto* component = static_cast<IComponent*>(probe);
  component->initialize(nullptr);
  FakeEventList list;
  Event on = {};
  on.type = Event::kNoteOnEvent;
  on.sampleOffset = 12;
  on.noteOn.channel = 3;
  on.noteOn.pitch = 60;
  on.noteOn.velocity = 0.5f;
  Event off = {};
  off.type = Event::kNoteOffEvent;
  off.sampleOffset = 40;
  off.noteOff.channel = 1;
  off.noteOff.pitch = 61;
  Event other = {};
  other.type = Event::kDataEvent;
  list.events = {on, other, off};
  ProcessData data = MakeProcessData(kSample32, 0, nullptr, 0, nullptr, 0);
  data.inputEvents = &list;
  ASSERT_EQ(static_cast<IAudioProcessor*>(probe)->process(data), kResultOk);
  ASSERT_EQ(probe->received.size(), 2u);
  EXPECT_EQ(probe->received[0].frameOffset, 12);
  EXPECT_EQ(probe->received[0].status, 0x93);
  EXPECT_EQ(probe->received[0].data1, 60);
  EXPECT_EQ(probe->received[0].data2, 63);
  EXPECT_EQ(probe->received[1].frameOffset, 40);
  EXPECT_EQ(probe->received[1].status, 0x81);
  EXPECT_EQ(probe->received[1].data1, 61);
  EXPECT_EQ(probe->received[1].data2, 0);
  component->terminate();
  component->release();
}
