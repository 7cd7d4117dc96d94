#include "RecordingHandler.h"

#include <cmath>
#include <ostream>

namespace vellox::test {

using namespace Steinberg;
using namespace Steinberg::Vst;

bool HostEvent::operator==(const HostEvent& other) const {
  if (kind != other.kind || id != other.id) return false;
  if (kind == kPerform) return std::abs(value - other.value) < 1e-12;
  if (kind == kMenu) return view == other.view;
  return true;
}

std::ostream& operator<<(std::ostream& out, const HostEvent& event) {
  static const char* const kNames[] = {"beginEdit", "performEdit", "endEdit", "createContextMenu"};
  out << kNames[event.kind] << "(" << event.id;
  if (event.kind == HostEvent::kPerform) out << ", " << event.value;
  if (event.kind == HostEvent::kMenu) out << ", view " << event.view;
  return out << ")";
}

HostEvent Begin(ParamID id) { return {HostEvent::kBegin, id, 0.0, nullptr}; }
HostEvent Perform(ParamID id, double value) { return {HostEvent::kPerform, id, value, nullptr}; }
HostEvent End(ParamID id) { return {HostEvent::kEnd, id, 0.0, nullptr}; }
HostEvent Menu(ParamID id, IPlugView* view) { return {HostEvent::kMenu, id, 0.0, view}; }

tresult PLUGIN_API RecordingHandler::beginEdit(ParamID id) {
  events.push_back(Begin(id));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::performEdit(ParamID id, ParamValue value) {
  events.push_back(Perform(id, value));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::endEdit(ParamID id) {
  events.push_back(End(id));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::restartComponent(int32) { return kResultOk; }

// The request is recorded; no menu is offered, so the effect shows none.
IContextMenu* PLUGIN_API RecordingHandler::createContextMenu(IPlugView* view, const ParamID* id) {
  events.push_back(Menu(id ? *id : ParamID(-1), view));
  return nullptr;
}

tresult PLUGIN_API RecordingHandler::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, FUnknown::iid, IComponentHandler)
  QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
  QUERY_INTERFACE(iid, obj, IComponentHandler3::iid, IComponentHandler3)
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vellox::test
