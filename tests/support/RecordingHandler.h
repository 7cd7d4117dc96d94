#pragma once
// A host's component handler that writes down what the effect tells it:
// edit gestures, value changes and context-menu requests.
#include <iosfwd>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vellox::test {

struct HostEvent {
  enum Kind { kBegin, kPerform, kEnd, kMenu } kind;
  Steinberg::Vst::ParamID id;
  double value;                // kPerform only
  Steinberg::IPlugView* view;  // kMenu only
  bool operator==(const HostEvent& other) const;
};
std::ostream& operator<<(std::ostream& out, const HostEvent& event);

HostEvent Begin(Steinberg::Vst::ParamID id);
HostEvent Perform(Steinberg::Vst::ParamID id, double value);
HostEvent End(Steinberg::Vst::ParamID id);
HostEvent Menu(Steinberg::Vst::ParamID id, Steinberg::IPlugView* view);

// Owned by the test; the reference count only tracks the effect's use.
class RecordingHandler : public Steinberg::Vst::IComponentHandler, public Steinberg::Vst::IComponentHandler3 {
public:
  virtual ~RecordingHandler() = default;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* id) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++references_; }
  Steinberg::uint32 PLUGIN_API release() override { return --references_; }

  std::vector<HostEvent> events;
  int References() const { return references_; }

private:
  int references_ = 0;
};

}  // namespace vellox::test
