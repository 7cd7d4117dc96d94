#include "IMenuModel.h"

#include <cstdio>

std::string IMenuModel::DisplayText(int i) const {
  const std::string& text = entries[size_t(i)].text;
  static const char* const kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
  if (numbering < 1 || numbering > 3) return text;
  std::string out(text.size() + 50, '\0');
  int n = std::snprintf(&out[0], out.size(), kFormats[numbering - 1], i + 1, text.c_str());
  out.resize(n < 0 ? 0 : size_t(n) < out.size() ? size_t(n) : out.size() - 1);
  return out;
}
