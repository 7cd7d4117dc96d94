#include "parameter_changes.h"

namespace vellox::host {

using namespace Steinberg;

ParamValueQueue::ParamValueQueue(int32 capacity)
    : points_(static_cast<size_t>(capacity)){FUNKNOWN_CTOR}

      IMPLEMENT_FUNKNOWN_METHODS(ParamValueQueue, Vst::IParamValueQueue, Vst::IParamValueQueue::iid)

          void ParamValueQueue::Reset(Vst::ParamID id) {
  id_ = id;
  count_ = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
  if (index < 0 || index >= count_) return kResultFalse;
  sampleOffset = points_[static_cast<size_t>(index)].offset;
  value = points_[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
  int32 pos = 0;
  while (pos < count_ && points_[static_cast<size_t>(pos)].offset < sampleOffset) ++pos;
  if (pos < count_ && points_[static_cast<size_t>(pos)].offset == sampleOffset) {
    points_[static_cast<size_t>(pos)].value = value;
    index = pos;
    return kResultOk;
  }
  if (count_ == static_cast<int32>(points_.size())) return kResultFalse;
  for (int32 i = count_; i > pos; --i) points_[static_cast<size_t>(i)] = points_[static_cast<size_t>(i - 1)];
  points_[static_cast<size_t>(pos)] = {sampleOffset, value};
  ++count_;
  index = pos;
  return kResultOk;
}

ParameterChanges::ParameterChanges(int32 maxQueues, int32 maxPointsPerQueue) {
  FUNKNOWN_CTOR
  queues_.reserve(static_cast<size_t>(maxQueues));
  for (int32 i = 0; i < maxQueues; ++i)
    queues_.push_back(IPtr<ParamValueQueue>::adopt(new ParamValueQueue(maxPointsPerQueue)));
}

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, Vst::IParameterChanges, Vst::IParameterChanges::iid)

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= used_) return nullptr;
  return queues_[static_cast<size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index) {
  for (int32 i = 0; i < used_; ++i) {
    if (queues_[static_cast<size_t>(i)]->getParameterId() == id) {
      index = i;
      return queues_[static_cast<size_t>(i)];
    }
  }
  if (used_ == static_cast<int32>(queues_.size())) return nullptr;
  index = used_;
  queues_[static_cast<size_t>(used_)]->Reset(id);
  return queues_[static_cast<size_t>(used_++)];
}

bool ParameterChanges::Add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value) {
  int32 index = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, index);
  int32 pointIndex = 0;
  return queue && queue->addPoint(sampleOffset, value, pointIndex) == kResultOk;
}

}  // namespace vellox::host
