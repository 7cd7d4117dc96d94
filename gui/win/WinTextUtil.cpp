#include "WinTextUtil.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void CopyTextBounded(char* out, std::size_t capacity, const char* text, std::size_t sourceLimit) {
  if (!out || capacity == 0) return;
  std::size_t n = 0;
  if (text) {
    while (n + 1 < capacity && n < sourceLimit && text[n] != '\0') {
      out[n] = text[n];
      ++n;
    }
  }
  out[n] = '\0';
}

bool Utf16BlockToUtf8(const wchar_t* text, std::size_t capacity, std::string& out) {
  out.clear();
  if (!text) return false;
  std::size_t length = 0;
  while (length < capacity && text[length] != L'\0') ++length;
  if (length == 0) return true;
  if (length > std::size_t(INT_MAX)) return false;
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  std::string converted(std::size_t(needed), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, text, int(length), &converted[0], needed, nullptr, nullptr) != needed)
    return false;
  out.swap(converted);
  return true;
}

std::string DirectoryOfPath(const char* path) {
  if (!path) return std::string();
  const char* slash = std::strrchr(path, '\\');
  if (!slash || slash[1] == '\0') return std::string();
  return std::string(path, static_cast<std::size_t>(slash - path) + 1);
}

bool HasPngExtension(const char* fileName) {
  if (!fileName) return false;
  const char* dot = std::strrchr(fileName, '.');
  if (!dot) return false;
  const char* ext = dot + 1;
  static const char kPng[] = "png";
  for (int i = 0; i < 3; ++i) {
    char c = ext[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kPng[i]) return false;
  }
  return ext[3] == '\0';
}

bool BuildExtensionFilter(const char* extensions, std::string& filter, std::string& defaultExtension) {
  filter.clear();
  defaultExtension.clear();
  if (!extensions) return false;
  std::string pattern;
  const char* p = extensions;
  bool first = true;
  while (*p) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    if (p == start) break;
    std::string word(start, static_cast<std::size_t>(p - start));
    if (first) {
      defaultExtension = word;
      first = false;
    } else {
      pattern += ';';
    }
    pattern += "*.";
    pattern += word;
  }
  if (pattern.empty() || pattern.size() > kMaxFilterPattern || defaultExtension.size() > kMaxDefaultExtension) {
    defaultExtension.clear();
    return false;
  }
  filter = pattern;
  filter.push_back('\0');
  filter += pattern;
  filter.push_back('\0');
  filter.push_back('\0');
  return true;
}

double ReadDecimalText(const char* text) {
  if (!text) return 0.0;
  std::string accepted;
  const char* p = text;
  if (*p == '+' || *p == '-') accepted.push_back(*p++);
  bool digits = false;
  bool point = false;
  for (;; ++p) {
    if (*p >= '0' && *p <= '9') {
      digits = true;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
    accepted.push_back(*p);
  }
  if (!digits) return 0.0;
  return std::strtod(accepted.c_str(), nullptr);
}

bool EntryAcceptsChar(bool hasParameter, int typeCode, unsigned character) {
  if (character == 8) return true;
  if (!hasParameter) return true;
  const bool signOrDigit = character == '+' || character == '-' || (character >= '0' && character <= '9');
  switch (typeCode) {
    case 1:
    case 2:
    case 3: return signOrDigit;
    case 4: return signOrDigit || character == '.';
    default: return true;
  }
}

int KeyCodeForVirtualKey(unsigned virtualKey) {
  switch (virtualKey) {
    case 0x20: return 0;  // space
    case 0x26: return 1;  // up
    case 0x28: return 2;  // down
    case 0x25: return 3;  // left
    case 0x27: return 4;  // right
    default: break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') return 5 + static_cast<int>(virtualKey - '0');
  if (virtualKey >= 'A' && virtualKey <= 'Z') return 15 + static_cast<int>(virtualKey - 'A');
  return -1;
}
