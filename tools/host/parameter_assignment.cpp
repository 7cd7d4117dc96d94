#include "parameter_assignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "utf16_text.h"

namespace vellox::cli {

using namespace Steinberg;
using namespace Steinberg::Vst;
using host::Utf16ToUtf8;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Accepts a value written with the parameter's unit after it ("-3 dB", "20ms").
std::string StripUnit(const std::string& value, const std::string& units) {
  if (units.empty() || value.size() <= units.size()) return value;
  const std::string tail = value.substr(value.size() - units.size());
  if (Lower(tail) != Lower(units)) return value;
  return Trim(value.substr(0, value.size() - units.size()));
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

// A stepped parameter's value given as one of its display texts ("Off"), or a
// switch's as on/off, yes/no or true/false.
bool MatchStepText(IEditController& controller, const ParameterInfo& info, const std::string& value,
                   ParamValue& normalized) {
  if (info.stepCount <= 0) return false;
  const std::string wanted = Lower(value);
  for (int32 step = 0; step <= info.stepCount; ++step) {
    const ParamValue candidate = static_cast<ParamValue>(step) / info.stepCount;
    String128 text{};
    if (controller.getParamStringByValue(info.id, candidate, text) == kResultOk &&
        Lower(Trim(Utf16ToUtf8(text, 128))) == wanted) {
      normalized = candidate;
      return true;
    }
  }
  if (info.stepCount != 1) return false;
  for (const char* on : {"on", "yes", "true"})
    if (wanted == on) return (normalized = 1.0), true;
  for (const char* off : {"off", "no", "false"})
    if (wanted == off) return (normalized = 0.0), true;
  return false;
}

// ", nor one of Off, On" for a stepped parameter; nothing for a continuous one.
std::string StepTexts(IEditController& controller, const ParameterInfo& info) {
  if (info.stepCount <= 0 || info.stepCount > 64) return {};
  std::string list;
  for (int32 step = 0; step <= info.stepCount; ++step) {
    String128 text{};
    if (controller.getParamStringByValue(info.id, static_cast<ParamValue>(step) / info.stepCount, text) == kResultOk)
      list += (list.empty() ? "" : ", ") + Trim(Utf16ToUtf8(text, 128));
  }
  return list.empty() ? "" : ", nor one of " + list;
}

// ", nor one of A, B" as " or one of A, B".
std::string OrOneOf(const std::string& nor) { return nor.empty() ? nor : " or" + nor.substr(5); }

}  // namespace

std::string FormatNumber(double value) {
  char text[64];
  // Whole numbers in full ("10000000 Hz", not "1e+07 Hz").
  if (value == std::floor(value) && std::fabs(value) < 1e15)
    std::snprintf(text, sizeof text, "%.0f", value);
  else
    std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// A title as typed on a command line: any case, spaces left out (STEP3 for "STEP 3").
std::string Typed(const std::string& title) {
  std::string typed = Lower(title);
  typed.erase(std::remove(typed.begin(), typed.end(), ' '), typed.end());
  return typed;
}

bool FindParameterByTitle(IEditController& controller, const std::string& name, ParameterInfo& info) {
  const int32 count = controller.getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo candidate{};
    if (controller.getParameterInfo(i, candidate) != kResultOk) continue;
    if (Typed(Utf16ToUtf8(candidate.title, 128)) == Typed(name)) {
      info = candidate;
      return true;
    }
  }
  return false;
}

bool FindProgram(IEditController& controller, const std::string& name, ParameterInfo& info, ParamValue& normalized,
                 std::string& error) {
  const int32 count = controller.getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo candidate{};
    if (controller.getParameterInfo(i, candidate) != kResultOk || !(candidate.flags & ParameterInfo::kIsProgramChange))
      continue;
    info = candidate;
    if (MatchStepText(controller, candidate, Trim(name), normalized)) return true;
    // A program's number, as hosts count them from 0.
    char* end = nullptr;
    const long number = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == '\0' && number >= 0 && number <= candidate.stepCount) {
      normalized = candidate.stepCount > 0 ? static_cast<double>(number) / candidate.stepCount : 0.0;
      return true;
    }
    const std::string names = StepTexts(controller, candidate);
    error = "unknown program \"" + name + "\"" + (names.empty() ? "" : " (its programs: " + names.substr(13) + ")");
    return false;
  }
  error = "the effect has no programs";
  return false;
}

bool FindBypassParameter(IEditController& controller, ParameterInfo& info) {
  const int32 count = controller.getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo candidate{};
    if (controller.getParameterInfo(i, candidate) == kResultOk && (candidate.flags & ParameterInfo::kIsBypass)) {
      info = candidate;
      return true;
    }
  }
  return false;
}

bool ResolveAssignment(IEditController& controller, const std::string& text, ParameterAssignment& assignment,
                       std::string& error) {
  const auto equals = text.find('=');
  const std::string name = Trim(text.substr(0, equals));
  if (equals == std::string::npos || name.empty()) {
    error = "--set expects NAME=VALUE, got \"" + text + "\"";
    return false;
  }
  const std::string value = Trim(text.substr(equals + 1));
  ParameterInfo info{};
  if (!FindParameterByTitle(controller, name, info)) {
    error = "unknown parameter \"" + name + "\" (see `vellox info` for the parameter list)";
    return false;
  }
  assignment.id = info.id;
  assignment.title = Utf16ToUtf8(info.title, 128);
  const std::string units = Utf16ToUtf8(info.units, 128);

  // The texts a host shows come first: a stepped parameter's may look like numbers.
  if (MatchStepText(controller, info, value, assignment.normalized)) return true;
  double plain = 0.0;
  if (!ParseNumber(StripUnit(value, units), plain)) {
    error = "value \"" + value + "\" for " + assignment.title + " is not a number" + StepTexts(controller, info);
    return false;
  }
  double low = controller.normalizedParamToPlain(info.id, 0.0);
  double high = controller.normalizedParamToPlain(info.id, 1.0);
  if (low > high) std::swap(low, high);
  const double slack = 1e-9 * std::fmax(1.0, high - low);
  if (plain < low - slack || plain > high + slack) {
    error = "value " + value + " for " + assignment.title + " is out of range: it takes " + FormatNumber(low) + " to " +
            FormatNumber(high) + (units.empty() ? "" : " " + units);
    return false;
  }
  // A list or a switch has no values between its entries.
  if (info.stepCount > 0 && plain != std::round(plain)) {
    error = "value " + value + " for " + assignment.title + " is not one of its entries: " + assignment.title +
            " takes a whole number from " + FormatNumber(low) + " to " + FormatNumber(high) +
            OrOneOf(StepTexts(controller, info));
    return false;
  }
  assignment.normalized = std::clamp(controller.plainParamToNormalized(info.id, plain), 0.0, 1.0);
  return true;
}

}  // namespace vellox::cli
