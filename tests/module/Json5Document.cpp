#include "Json5Document.h"

#include <cctype>

namespace vellox::test {

Json5Value Json5Value::String(std::string s) {
  Json5Value v;
  v.kind = Kind::kString;
  v.text = std::move(s);
  return v;
}

Json5Value Json5Value::Number(std::string digits) {
  Json5Value v;
  v.kind = Kind::kNumber;
  v.text = std::move(digits);
  return v;
}

Json5Value Json5Value::Bool(bool b) {
  Json5Value v;
  v.kind = Kind::kBool;
  v.boolean = b;
  return v;
}

Json5Value Json5Value::Array(std::vector<Json5Value> items) {
  Json5Value v;
  v.kind = Kind::kArray;
  v.elements = std::move(items);
  return v;
}

Json5Value Json5Value::Object() {
  Json5Value v;
  v.kind = Kind::kObject;
  return v;
}

Json5Value& Json5Value::Add(const std::string& key, Json5Value value) {
  members.emplace_back(key, std::move(value));
  return *this;
}

const Json5Value* Json5Value::Find(const std::string& key) const {
  for (const auto& member : members)
    if (member.first == key) return &member.second;
  return nullptr;
}

namespace {

class Parser {
public:
  explicit Parser(const std::string& text) : s_(text) {}

  bool Document(Json5Value& value, std::string& error) {
    const bool ok = Value(value) && (SkipSpace(), pos_ == s_.size() || Fail("text after the value"));
    if (!ok) error = error_ + " at offset " + std::to_string(pos_);
    return ok;
  }

private:
  bool Fail(const char* what) {
    if (error_.empty()) error_ = what;
    return false;
  }

  void SkipSpace() {
    for (;;) {
      while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
      if (s_.compare(pos_, 2, "//") != 0) return;
      while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
    }
  }

  bool Take(char c) {
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Word(const char* word) {
    const std::string w(word);
    if (s_.compare(pos_, w.size(), w) != 0) return false;
    pos_ += w.size();
    return true;
  }

  bool StringBody(std::string& out) {
    if (!Take('"')) return Fail("expected a string");
    while (pos_ < s_.size() && s_[pos_] != '"') {
      char c = s_[pos_++];
      if (c == '\\') {
        if (pos_ >= s_.size()) break;
        const char e = s_[pos_++];
        c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
      }
      out.push_back(c);
    }
    return pos_ < s_.size() ? (++pos_, true) : Fail("unterminated string");
  }

  // Elements or members separated by commas; a comma may follow the last one.
  template <typename Item>
  bool Sequence(char close, Item item) {
    while (!Take(close)) {
      if (!item()) return false;
      if (!Take(',') && !(SkipSpace(), pos_ < s_.size() && s_[pos_] == close)) return Fail("expected ',' or a close");
    }
    return true;
  }

  bool Value(Json5Value& v) {
    SkipSpace();
    if (pos_ >= s_.size()) return Fail("unexpected end");
    const char c = s_[pos_];
    if (c == '{') {
      ++pos_;
      v = Json5Value::Object();
      return Sequence('}', [&] {
        std::string key;
        Json5Value member;
        if (!StringBody(key) || !Take(':') || !Value(member)) return Fail("bad member");
        v.Add(key, std::move(member));
        return true;
      });
    }
    if (c == '[') {
      ++pos_;
      v = Json5Value::Array();
      return Sequence(']', [&] {
        v.elements.emplace_back();
        return Value(v.elements.back());
      });
    }
    if (c == '"') {
      v = Json5Value::String("");
      return StringBody(v.text);
    }
    for (const bool b : {true, false})
      if (Word(b ? "true" : "false")) {
        v = Json5Value::Bool(b);
        return true;
      }
    if (Word("null")) {
      v = Json5Value();
      return true;
    }
    const size_t start = pos_;
    const std::string numberChars = "0123456789+-.eE";
    while (pos_ < s_.size() && numberChars.find(s_[pos_]) != std::string::npos) ++pos_;
    if (pos_ == start) return Fail("unexpected character");
    v = Json5Value::Number(s_.substr(start, pos_ - start));
    return true;
  }

  const std::string& s_;
  size_t pos_ = 0;
  std::string error_;
};

void Write(const Json5Value& v, int depth, std::string& out) {
  const auto newline = [&out](int level) { out += '\n' + std::string(2 * level, ' '); };
  switch (v.kind) {
    case Json5Value::Kind::kNull: out += "null"; break;
    case Json5Value::Kind::kBool: out += v.boolean ? "true" : "false"; break;
    case Json5Value::Kind::kNumber: out += v.text; break;
    case Json5Value::Kind::kString: out += '"' + v.text + '"'; break;
    case Json5Value::Kind::kArray:
      out += '[';
      for (const Json5Value& element : v.elements) {
        newline(depth + 1);
        Write(element, depth + 1, out);
        out += ',';
      }
      newline(depth);
      out += ']';
      break;
    case Json5Value::Kind::kObject:
      out += '{';
      for (const auto& member : v.members) {
        newline(depth + 1);
        out += '"' + member.first + "\": ";
        Write(member.second, depth + 1, out);
        out += ',';
      }
      newline(depth);
      out += '}';
      break;
  }
}

}  // namespace

bool ParseJson5(const std::string& text, Json5Value& value, std::string& error) {
  return Parser(text).Document(value, error);
}

std::string WriteModuleInfoStyle(const Json5Value& value) {
  std::string out;
  Write(value, 0, out);
  return out;
}

}  // namespace vellox::test
