#pragma once
// The JSON5 subset of a VST 3 module-info file: objects (members in file
// order), arrays, strings, numbers, booleans, trailing commas and // comments.
// Parse reads it; WriteModuleInfoStyle lays a value out as the SDK's
// module-info tool does, so a file can be compared with the tool's output.
#include <string>
#include <utility>
#include <vector>

namespace vellox::test {

struct Json5Value {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::string text;  // a string's contents, or a number as written
  std::vector<Json5Value> elements;
  std::vector<std::pair<std::string, Json5Value>> members;

  static Json5Value String(std::string s);
  static Json5Value Number(std::string digits);
  static Json5Value Bool(bool b);
  static Json5Value Array(std::vector<Json5Value> items = {});
  static Json5Value Object();
  Json5Value& Add(const std::string& key, Json5Value value);  // object member; returns *this

  // The member named `key`, or null when absent or not an object.
  const Json5Value* Find(const std::string& key) const;
};

// False with `error` naming the position when `text` is not one JSON5 value.
bool ParseJson5(const std::string& text, Json5Value& value, std::string& error);

// Two-space indents, every member and element on its own line and followed
// by a comma, empty containers opened and closed on separate lines.
std::string WriteModuleInfoStyle(const Json5Value& value);

}  // namespace vellox::test
