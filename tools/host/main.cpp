// Entry point of the `vellox` host program.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

// Wide arguments keep non-ASCII paths intact; everything inside is UTF-8.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
    args.push_back(text);
  }
  vellox::cli::Console console{std::cout, std::cerr, _isatty(_fileno(stderr)) != 0};
  return vellox::cli::RunCli(args, console);
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  vellox::cli::Console console{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
  return vellox::cli::RunCli(args, console);
}
#endif
