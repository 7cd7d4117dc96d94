#include "cli.h"

#include <algorithm>

#include "VelloxIdentity.h"
#include "help_text.h"
#include "snapshot.h"

namespace vellox::cli {

namespace {

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

int Fail(Console& console, const std::string& message, int code) {
  console.err << "vellox: error: " << message << "\n";
  return code;
}

int RunCli(const std::vector<std::string>& args, Console& console) {
  if (args.empty()) {
    console.err << MainHelp();
    return kExitUsage;
  }
  const std::string& command = args.front();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "help" || IsHelp(command)) {
    std::string text;
    if (!rest.empty() && CommandHelp(rest.front(), text))
      console.out << text;
    else
      console.out << MainHelp();
    return kExitOk;
  }
  if (command == "--version" || command == "version") {
    console.out << "vellox " << kVelloxVersionText << "\n";
    return kExitOk;
  }
  std::string help;
  if (CommandHelp(command, help) && std::any_of(rest.begin(), rest.end(), IsHelp)) {
    console.out << help;
    return kExitOk;
  }
  if (command == "render") return RunRender(rest, console);
  if (command == "info") return RunInfo(rest, console);
  if (command == "snapshot") return RunSnapshot(rest, console);
  console.err << "vellox: error: unknown command \"" << command << "\" (see vellox --help)\n";
  return kExitUsage;
}

}  // namespace vellox::cli
