#pragma once
// For an LV2 plug-in the tool's commands read parameters through this edit
// controller: its control inputs are the parameters (the enable switch is
// the bypass, inverted), normalised figures map linearly onto their ranges
// and a stepped control's texts are its scale points.
#include <atomic>
#include <string>

#include "lv2_session.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vellox::host {

class Lv2Controller : public Steinberg::Vst::IEditController {
public:
  explicit Lv2Controller(Lv2Session& session) : mSession(session) {}
  virtual ~Lv2Controller() = default;

  static constexpr Steinberg::Vst::ParamID kBypassId = 0x62706173;
  // The port and the value a normalised figure of parameter `id` gives it.
  bool PortValue(Steinberg::Vst::ParamID id, double normalized, uint32_t& port, float& value) const;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override;
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown*) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API terminate() override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream*) override { return Steinberg::kNotImplemented; }
  // The plug-in's state bytes, while processing has started.
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
  Steinberg::int32 PLUGIN_API getParameterCount() override;
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 index, Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID, Steinberg::Vst::TChar*,
                                                      Steinberg::Vst::ParamValue&) override {
    return Steinberg::kNotImplemented;
  }
  Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue value) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue plain) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) override {
    return Steinberg::kNotImplemented;
  }
  Steinberg::tresult PLUGIN_API setComponentHandler(Steinberg::Vst::IComponentHandler*) override {
    return Steinberg::kResultOk;
  }
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString) override { return nullptr; }

private:
  // The parameter of id (a control's port index), or null; the bypass has none.
  const Lv2Control* Find(Steinberg::Vst::ParamID id) const;
  const Lv2Control* Enable() const;

  Lv2Session& mSession;
  std::atomic<Steinberg::uint32> mRefs{1};
};

}  // namespace vellox::host
