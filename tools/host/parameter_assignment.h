#pragma once
// Turns a command-line NAME=VALUE into a host parameter id and normalised
// value, through the effect's own controller. NAME is the parameter title
// (any case); VALUE is one of a stepped parameter's display texts ("On",
// "1/8T"), or else a number in the parameter's own units, optionally followed
// by the unit itself ("-3 dB").
#include <string>

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vellox::cli {

struct ParameterAssignment {
  Steinberg::Vst::ParamID id = 0;
  std::string title;
  Steinberg::Vst::ParamValue normalized = 0.0;
};

bool ResolveAssignment(Steinberg::Vst::IEditController& controller, const std::string& text,
                       ParameterAssignment& assignment, std::string& error);

// Finds the parameter whose title matches `name` ignoring case and spaces.
bool FindParameterByTitle(Steinberg::Vst::IEditController& controller, const std::string& name,
                          Steinberg::Vst::ParameterInfo& info);

// Finds the program `name` (as the program list shows it, any case, or its
// number from 0) on the parameter the effect marks as its program change:
// that parameter and the value that selects it. False with `error` set.
bool FindProgram(Steinberg::Vst::IEditController& controller, const std::string& name,
                 Steinberg::Vst::ParameterInfo& info, Steinberg::Vst::ParamValue& normalized, std::string& error);

// Finds the parameter the effect marks as its bypass switch.
bool FindBypassParameter(Steinberg::Vst::IEditController& controller, Steinberg::Vst::ParameterInfo& info);

// Formats a number the way the tool prints plain values: no trailing zeros.
std::string FormatNumber(double value);

}  // namespace vellox::cli
