#pragma once
// The `vellox` command line: `render`, `info` and `snapshot`. Runs in-process so that the
// executable's main() and the tests share one code path.
#include <ostream>
#include <string>
#include <vector>

namespace vellox::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done (missing plug-in, bad file, bad value)
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool interactive = false;  // standard error is a terminal: a progress bar may show there
};

// `args` excludes the program name.
int RunCli(const std::vector<std::string>& args, Console& console);

int RunRender(const std::vector<std::string>& args, Console& console);
int RunInfo(const std::vector<std::string>& args, Console& console);

// Prints "vellox: error: <message>" and returns `code`.
int Fail(Console& console, const std::string& message, int code = kExitFailure);

}  // namespace vellox::cli
