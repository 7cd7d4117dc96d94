#pragma once
// The tool's commands read parameters through a VST 3 edit controller; for a
// CLAP plug-in this one stands in, answering from the plug-in's params and
// state extensions. Normalised figures map linearly onto the plain range,
// the same figures the VST 3 binding maps; texts lose the unit the CLAP
// text carries, which is reported as the parameter's unit instead.
#include <atomic>
#include <string>
#include <vector>

#include "clap_session.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vellox::host {

class ClapController : public Steinberg::Vst::IEditController {
public:
  explicit ClapController(ClapSession& session);
  virtual ~ClapController() = default;

  // Plain value of a normalised figure and back, for parameter `id`.
  double ToPlain(Steinberg::Vst::ParamID id, double normalized) const;

  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;
  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown*) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API terminate() override { return Steinberg::kResultOk; }
  // IEditController
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream*) override { return Steinberg::kNotImplemented; }
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
  Steinberg::int32 PLUGIN_API getParameterCount() override;
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 index, Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID id, Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& value) override;
  Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue value) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue plain) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API setComponentHandler(Steinberg::Vst::IComponentHandler*) override {
    return Steinberg::kResultOk;
  }
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString) override { return nullptr; }

private:
  struct Param {
    clap_param_info_t info;
    std::string unit;  // the word after the number in the plug-in's texts
  };
  const Param* Find(Steinberg::Vst::ParamID id) const;
  std::string Text(const Param& param, double plain) const;

  ClapSession& mSession;
  std::vector<Param> mParams;
  std::atomic<Steinberg::uint32> mRefs{1};
};

}  // namespace vellox::host
