// Entry point of the `vellox` host program.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

#include "platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = vellox::platform::ProgramArguments(argc, argv);
  vellox::cli::Console console{std::cout, std::cerr, vellox::platform::StandardErrorIsTerminal()};
  return vellox::cli::RunCli(args, console);
}
