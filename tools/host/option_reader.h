#pragma once
// Walks command-line options of the form --name VALUE or --name=VALUE.
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace vellox::cli {

class OptionReader {
public:
  explicit OptionReader(const std::vector<std::string>& args) : mArgs(args) {}

  // The next option name; false at the end.
  bool Next(std::string& option) {
    if (mIndex >= mArgs.size()) return false;
    option = mArgs[mIndex++];
    mInlineValue.clear();
    mHasInline = false;
    const auto equals = option.find('=');
    if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
      mInlineValue = option.substr(equals + 1);
      mHasInline = true;
      option.resize(equals);
    }
    return true;
  }

  // The value of the current option; false with `error` set when it is missing.
  bool Value(const std::string& option, std::string& value, std::string& error) {
    if (mHasInline) {
      value = mInlineValue;
      mHasInline = false;
      return true;
    }
    if (mIndex >= mArgs.size()) {
      error = option + " needs a value";
      return false;
    }
    value = mArgs[mIndex++];
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

  // False with `error` set when `option` was given before: options that take
  // one value may appear once.
  bool Once(const std::string& option, std::string& error) {
    if (mSeen.insert(option).second) return true;
    error = option + " is given more than once";
    return false;
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

  // A finite number within [low, high], described as `range` when refused.
  bool NumberValue(const std::string& option, double low, double high, const std::string& range, double& number,
                   std::string& error) {
    std::string text;
    if (!Value(option, text, error)) return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    // Written so that a NaN fails the comparison and is refused.
    if (text.empty() || *end != '\0' || !(number >= low && number <= high)) {
      error = option + " takes " + range + ", got \"" + text + "\"";
      return false;
    }
    return true;
  }

private:
  const std::vector<std::string>& mArgs;
  size_t mIndex = 0;
  std::string mInlineValue;
  bool mHasInline = false;
  std::set<std::string> mSeen;
};

}  // namespace vellox::cli
