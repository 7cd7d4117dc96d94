#pragma once
// Runs the `vellox` command line in-process, through the same entry main()
// calls, capturing its exit code and both output streams.
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace vellox::test {

struct CliResult {
  int code;
  std::string out;
  std::string err;
};

inline CliResult RunVellox(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  cli::Console console{out, err, false};
  const int code = cli::RunCli(args, console);
  return {code, out.str(), err.str()};
}

}  // namespace vellox::test
