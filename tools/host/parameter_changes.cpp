#include "parameter_changes.h"

namespace vellox::host {

using namespace Steinberg;

ParamValueQueue::ParamValueQueue(int32 capacity)
    : mPoints(static_cast<size_t>(capacity)){FUNKNOWN_CTOR}

      IMPLEMENT_FUNKNOWN_METHODS(ParamValueQueue, Vst::IParamValueQueue, Vst::IParamValueQueue::iid)

          void ParamValueQueue::Reset(Vst::ParamID id) {
  mId = id;
  mCount = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
  if (index < 0 || index >= mCount) return kResultFalse;
  sampleOffset = mPoints[static_cast<size_t>(index)].offset;
  value = mPoints[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
  int32 pos = 0;
  while (pos < mCount && mPoints[static_cast<size_t>(pos)].offset < sampleOffset) ++pos;
  if (pos < mCount && mPoints[static_cast<size_t>(pos)].offset == sampleOffset) {
    mPoints[static_cast<size_t>(pos)].value = value;
    index = pos;
    return kResultOk;
  }
  if (mCount == static_cast<int32>(mPoints.size())) return kResultFalse;
  for (int32 i = mCount; i > pos; --i) mPoints[static_cast<size_t>(i)] = mPoints[static_cast<size_t>(i - 1)];
  mPoints[static_cast<size_t>(pos)] = {sampleOffset, value};
  ++mCount;
  index = pos;
  return kResultOk;
}

ParameterChanges::ParameterChanges(int32 maxQueues, int32 maxPointsPerQueue) {
  FUNKNOWN_CTOR
  mQueues.reserve(static_cast<size_t>(maxQueues));
  for (int32 i = 0; i < maxQueues; ++i)
    mQueues.push_back(IPtr<ParamValueQueue>::adopt(new ParamValueQueue(maxPointsPerQueue)));
}

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, Vst::IParameterChanges, Vst::IParameterChanges::iid)

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= mUsed) return nullptr;
  return mQueues[static_cast<size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index) {
  for (int32 i = 0; i < mUsed; ++i) {
    if (mQueues[static_cast<size_t>(i)]->getParameterId() == id) {
      index = i;
      return mQueues[static_cast<size_t>(i)];
    }
  }
  if (mUsed == static_cast<int32>(mQueues.size())) return nullptr;
  index = mUsed;
  mQueues[static_cast<size_t>(mUsed)]->Reset(id);
  return mQueues[static_cast<size_t>(mUsed++)];
}

bool ParameterChanges::Add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value) {
  int32 index = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, index);
  int32 pointIndex = 0;
  return queue && queue->addPoint(sampleOffset, value, pointIndex) == kResultOk;
}

NoteEvents::NoteEvents(int32 capacity)
    : mEvents(static_cast<size_t>(capacity)){FUNKNOWN_CTOR}

      IMPLEMENT_FUNKNOWN_METHODS(NoteEvents, Vst::IEventList, Vst::IEventList::iid)

          tresult PLUGIN_API NoteEvents::getEvent(int32 index, Vst::Event & e) {
  if (index < 0 || index >= mCount) return kResultFalse;
  e = mEvents[static_cast<size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API NoteEvents::addEvent(Vst::Event& e) {
  if (mCount == static_cast<int32>(mEvents.size())) return kResultFalse;
  mEvents[static_cast<size_t>(mCount++)] = e;
  return kResultOk;
}

bool NoteEvents::AddNoteOn(int32 sampleOffset) {
  Vst::Event e{};
  e.type = Vst::Event::kNoteOnEvent;
  e.sampleOffset = sampleOffset;
  e.noteOn.pitch = 60;
  e.noteOn.velocity = 1.0f;
  e.noteOn.noteId = -1;
  return addEvent(e) == kResultOk;
}

}  // namespace vellox::host
