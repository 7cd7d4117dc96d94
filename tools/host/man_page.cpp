// Writes vellox.1, the manual page, from the same help texts `vellox --help`
// and `vellox COMMAND --help` print, so that the two cannot drift apart.
// Usage: vellox_man_page OUT.1
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "VelloxIdentity.h"
#include "help_text.h"

namespace {

// One help text as a preformatted roff block: backslashes and minus signs
// escaped, and no line read as a request.
std::string Preformatted(const std::string& text) {
  std::ostringstream out;
  out << ".nf\n";
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
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
  out << ".SH SEE ALSO\nThe user manual in the Vellox source, docs/manual.md.\n";
  out.close();
  return out ? 0 : 1;
}
