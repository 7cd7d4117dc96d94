#include "cli.h"

#include "snapshot.h"

namespace vellox::cli {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  vellox render [--in IN.wav] --out OUT.wav [--plugin PATH] [--set NAME=VALUE ...]\n"
    "                [--bypass] [--precision 32|64] [--block N] [--rate HZ]\n"
    "      Runs audio through the effect. Without --in it renders a built-in demo.\n"
    "      NAME is a parameter title (FADE, CHOP, DRY, OUTPUT, BY); VALUE is in the\n"
    "      parameter's own units, e.g. --set OUTPUT=-3 --set CHOP=0.5.\n"
    "  vellox info [--plugin PATH]\n"
    "      Shows the factory, the class and the parameters as a host sees them.\n"
    "  vellox snapshot --out EDITOR.png [--plugin PATH] [--set NAME=VALUE ...]\n"
    "      Writes a picture of the editor with the given settings. On Windows the\n"
    "      module's editor opens in a window; elsewhere the effect built into this\n"
    "      program draws its editor off-screen and PATH is not used.\n"
    "PATH defaults to Vellox.vst3 beside this program.\n";

}  // namespace

int Fail(Console& console, const std::string& message, int code) {
  console.err << "vellox: error: " << message << "\n";
  return code;
}

int RunCli(const std::vector<std::string>& args, Console& console) {
  if (args.empty()) {
    console.err << kUsage;
    return kExitUsage;
  }
  const std::string& command = args.front();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "render") return RunRender(rest, console);
  if (command == "info") return RunInfo(rest, console);
  if (command == "snapshot") return RunSnapshot(rest, console);
  if (command == "help" || command == "--help" || command == "-h") {
    console.out << kUsage;
    return kExitOk;
  }
  console.err << "vellox: error: unknown command \"" << command << "\"\n" << kUsage;
  return kExitUsage;
}

}  // namespace vellox::cli
