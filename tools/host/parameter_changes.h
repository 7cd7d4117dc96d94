#pragma once
// Parameter-change queues and the note events handed to `process`. Storage
// is reserved up front so that filling and clearing them between blocks
// never allocates.
#include <vector>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace vellox::host {

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
public:
  explicit ParamValueQueue(Steinberg::int32 capacity);
  virtual ~ParamValueQueue() = default;

  void Reset(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return mCount; }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  // Keeps points ordered by offset; a second point at the same offset replaces the first.
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  DECLARE_FUNKNOWN_METHODS

private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId = 0;
  std::vector<Point> mPoints;
  Steinberg::int32 mCount = 0;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
  ParameterChanges(Steinberg::int32 maxQueues, Steinberg::int32 maxPointsPerQueue);
  virtual ~ParameterChanges() = default;

  void Clear() { mUsed = 0; }
  // Adds a point to the queue of `id`, creating the queue if needed; false when full.
  bool Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);

  Steinberg::int32 PLUGIN_API getParameterCount() override { return mUsed; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  DECLARE_FUNKNOWN_METHODS

private:
  std::vector<Steinberg::IPtr<ParamValueQueue>> mQueues;
  Steinberg::int32 mUsed = 0;
};

// Note-ons for one block, in the order they were added.
class NoteEvents : public Steinberg::Vst::IEventList {
public:
  explicit NoteEvents(Steinberg::int32 capacity);
  virtual ~NoteEvents() = default;

  void Clear() { mCount = 0; }
  // A note-on (channel 1, middle C, full velocity) at `sampleOffset`; false when full.
  bool AddNoteOn(Steinberg::int32 sampleOffset);

  Steinberg::int32 PLUGIN_API getEventCount() override { return mCount; }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override;
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

  DECLARE_FUNKNOWN_METHODS

private:
  std::vector<Steinberg::Vst::Event> mEvents;
  Steinberg::int32 mCount = 0;
};

}  // namespace vellox::host
