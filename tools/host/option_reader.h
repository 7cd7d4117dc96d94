#pragma once
// Walks command-line options of the form --name VALUE or --name=VALUE.
#include <cstdlib>
#include <string>
#include <vector>

namespace vellox::cli {

class OptionReader {
public:
  explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}

  // The next option name; false at the end.
  bool Next(std::string& option) {
    if (index_ >= args_.size()) return false;
    option = args_[index_++];
    inlineValue_.clear();
    hasInline_ = false;
    const auto equals = option.find('=');
    if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue_ = option.substr(equals + 1);
      hasInline_ = true;
      option.resize(equals);
    }
    return true;
  }

  // The value of the current option; false with `error` set when it is missing.
  bool Value(const std::string& option, std::string& value, std::string& error) {
    if (hasInline_) {
      value = inlineValue_;
      hasInline_ = false;
      return true;
    }
    if (index_ >= args_.size()) {
      error = option + " needs a value";
      return false;
    }
    value = args_[index_++];
    return true;
  }

  // A --set NAME=VALUE assignment, appended to `assignments`.
  bool AssignmentValue(const std::string& option, std::vector<std::string>& assignments, std::string& error) {
    std::string value;
    if (!Value(option, value, error)) return false;
    const auto equals = value.find('=');
    if (equals == std::string::npos || equals == 0) {
      error = option + " expects NAME=VALUE, got \"" + value + "\"";
      return false;
    }
    assignments.push_back(value);
    return true;
  }

  // A whole number within [low, high].
  bool IntValue(const std::string& option, long low, long high, long& number, std::string& error) {
    std::string text;
    if (!Value(option, text, error)) return false;
    char* end = nullptr;
    number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high) {
      error = option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
              ", got \"" + text + "\"";
      return false;
    }
    return true;
  }

private:
  const std::vector<std::string>& args_;
  size_t index_ = 0;
  std::string inlineValue_;
  bool hasInline_ = false;
};

}  // namespace vellox::cli
