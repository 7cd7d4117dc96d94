#include "X11SystemApi.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

X11SystemApi& Overrides() {
  static X11SystemApi overrides = {};
  return overrides;
}

template <class Fn>
Fn Pick(Fn replacement, Fn real) {
  return replacement ? replacement : real;
}

}  // namespace

X11SystemApi DefaultX11SystemApi() {
  X11SystemApi api;
  api.spawn = posix_spawnp;
  api.waitChild = waitpid;
  return api;
}

X11SystemApi ActiveX11SystemApi() {
  const X11SystemApi real = DefaultX11SystemApi();
  const X11SystemApi& o = Overrides();
  X11SystemApi api;
  api.spawn = Pick(o.spawn, real.spawn);
  api.waitChild = Pick(o.waitChild, real.waitChild);
  return api;
}

void SetX11SystemApi(const X11SystemApi& api) { Overrides() = api; }

bool ProgramOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!program || !*program || !path) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // An empty entry is the current directory.
    std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}
