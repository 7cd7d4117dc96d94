// Writes vellox.1, the manual page, from the same help texts `vellox --help`
// and `vellox COMMAND --help` print, so that the two cannot drift apart.
// Usage: vellox_man_page OUT.1
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "VelloxIdentity.h"
#include "help_text.h"

namespace {

// A page shown 80 columns wide indents its text by 7.
constexpr size_t kPageColumns = 80 - 7;

size_t TextStart(const std::string& line) {
  const size_t text = line.find_first_not_of(' ');
  return text == std::string::npos ? line.size() : text;
}

// Whether `next` goes on with the text of `line` (a hanging description, or
// prose at the same indent) rather than starting an option, an example or a
// usage part.
bool Continues(const std::string& line, const std::string& next) {
  const size_t text = TextStart(next);
  if (text >= next.size() || line.compare(TextStart(line), 6, "usage:") == 0) return false;
  if (text > TextStart(line)) return true;  // the hanging description of an option
  return text == TextStart(line) && next[text] != '-' && next[text] != '[';
}

// Where a broken line's end goes when it starts a line of its own: under the
// description of an option ("  --in IN    text"), under the first option of a
// usage line, else under the line's text.
size_t HangingIndent(const std::string& line) {
  const size_t text = TextStart(line);
  if (line.compare(text, 6, "usage:") == 0 && line.find(" [") != std::string::npos) return line.find(" [") + 1;
  const size_t gap = line.find("  ", text);
  const size_t description = gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
  return description == std::string::npos ? text : description;
}

// The help text as lines of at most kPageColumns: a line too long is broken at
// a space and its end carried into the next line when that one continues it
// (the paragraph is refilled), else put on a line of its own under the text.
std::vector<std::string> Refilled(const std::string& text) {
  std::vector<std::string> lines, out;
  std::istringstream input(text);
  for (std::string line; std::getline(input, line);) lines.push_back(line);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    while (line.size() > kPageColumns) {
      const size_t cut = line.rfind(' ', kPageColumns);
      if (cut == std::string::npos || cut <= TextStart(line)) break;  // one long word: left whole
      out.push_back(line.substr(0, cut));
      const std::string rest = line.substr(line.find_first_not_of(' ', cut));
      if (i + 1 < lines.size() && Continues(line, lines[i + 1])) {
        const size_t indent = TextStart(lines[i + 1]);
        lines[i + 1] = lines[i + 1].substr(0, indent) + rest + " " + lines[i + 1].substr(indent);
        line.clear();
        break;
      }
      const size_t indent = HangingIndent(line);
      line = std::string(indent < kPageColumns / 2 ? indent : 4, ' ') + rest;
    }
    if (!line.empty() || lines[i].empty()) out.push_back(line);
  }
  return out;
}

// One help text as a preformatted roff block: lines wrapped to the page,
// backslashes and minus signs escaped, and no line read as a request.
std::string Preformatted(const std::string& text) {
  std::ostringstream out;
  out << ".nf\n";
  for (const std::string& line : Refilled(text)) {
    std::string escaped = line.empty() || (line[0] != '.' && line[0] != '\'') ? "" : "\\&";
    for (char c : line) {
      if (c == '\\')
        escaped += "\\e";
      else if (c == '-')
        escaped += "\\-";
      else
        escaped += c;
    }
    out << escaped << "\n";
  }
  out << ".fi\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vellox_man_page OUT.1\n";
    return 2;
  }
  std::ofstream out(argv[1]);
  out << ".TH VELLOX 1 \"\" \"vellox " << kVelloxVersionText << "\" \"User Commands\"\n"
      << ".SH NAME\nvellox \\- run audio through the Vellox VST 3 plug\\-in, as a host does\n"
      << ".SH SYNOPSIS\n.B vellox\n.I COMMAND\n[\\fIOPTIONS\\fR]\n"
      << ".SH DESCRIPTION\n"
      << Preformatted(vellox::cli::MainHelp());
  for (const char* command : {"render", "info", "snapshot"}) {
    std::string text;
    if (!vellox::cli::CommandHelp(command, text)) continue;
    out << ".SH \"" << command << "\"\n" << Preformatted(text);
  }
  // The manual ships beside the copyright notice (Install.cmake).
  out << ".SH SEE ALSO\nThe user manual, manual.md.gz, in the package's documentation folder:\n"
      << ".I /usr/share/doc/vellox\n"
      << "for the Debian package, \\fIPREFIX\\fR/share/doc/vellox after cmake \\-\\-install \\-\\-prefix "
         "\\fIPREFIX\\fR.\n";
  out.close();
  return out ? 0 : 1;
}
