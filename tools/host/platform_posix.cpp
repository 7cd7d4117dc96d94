// The host tool on Linux and other POSIX systems.
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform.h"

namespace vellox::platform {

namespace {

// The one temporary file an interrupt must remove. A fixed buffer, because the
// signal handler may only call async-signal-safe functions.
char gPending[4096];

void OnInterrupt(int signal) {
  if (gPending[0]) unlink(gPending);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

std::string ExecutableFile() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

const char* const kModuleFolder = "x86_64-linux";
const char* const kModuleSuffix = ".so";
const char* const kModuleEntryName = "ModuleEntry";
const char* const kModuleExitName = "ModuleExit";

void* OpenLibrary(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
  }
  return handle;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

bool EnterModule(void* library, void* entry) { return reinterpret_cast<bool (*)(void*)>(entry)(library); }

void CloseLibrary(void* library) { dlclose(library); }

const char* const kPluginSearchHelp =
    "Without --plugin PATH the tool looks for Vellox.vst3 where a host does:\n"
    "beside this program (a build tree), then ~/.vst3, /usr/lib/vst3,\n"
    "/usr/local/lib/vst3, and last <prefix>/lib/vst3 of the prefix this\n"
    "program was installed to.\n";

void FillSearchContext(cli::SearchContext& context) {
  if (const char* home = std::getenv("HOME")) context.home = home;
}

std::vector<cli::SearchPlace> SystemSearchPlaces(const cli::SearchContext& context, const std::string& bundleName) {
  std::vector<cli::SearchPlace> places;
  if (!context.home.empty())
    places.push_back({JoinPath(context.home, ".vst3/" + bundleName), "the user's VST 3 folder ~/.vst3"});
  places.push_back({"/usr/lib/vst3/" + bundleName, "the system VST 3 folder /usr/lib/vst3"});
  places.push_back({"/usr/local/lib/vst3/" + bundleName, "the local VST 3 folder /usr/local/lib/vst3"});
  // A package unpacked elsewhere (a scratch root, a relocated prefix) keeps
  // the bundle in <prefix>/lib/vst3 beside <prefix>/bin/vellox.
  if (!context.executableDir.empty()) {
    const std::filesystem::path prefix = std::filesystem::path(context.executableDir).parent_path();
    places.push_back(
        {(prefix / "lib" / "vst3" / bundleName).string(), "the VST 3 folder of this program's install prefix"});
  }
  return places;
}

std::string JoinPath(const std::string& dir, const std::string& rest) {
  if (dir.empty()) return rest;
  return dir.back() == '/' ? dir + rest : dir + '/' + rest;
}

FILE* OpenFile(const std::string& path, bool write) { return std::fopen(path.c_str(), write ? "wb" : "rb"); }

bool IsFolder(const std::string& path) {
  FILE* probe = std::fopen((path + "/.").c_str(), "rb");
  if (probe) std::fclose(probe);
  return probe != nullptr;
}

bool IsPipeOrDevice(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode));
}

bool IsStandardOutput(const std::string& path) {
  struct stat file {
  }, out{};
  return stat(path.c_str(), &file) == 0 && fstat(STDOUT_FILENO, &out) == 0 && file.st_dev == out.st_dev &&
         file.st_ino == out.st_ino;
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    std::string target(4096, '\0');
    const ssize_t size = readlink(current.c_str(), target.data(), target.size());
    if (size <= 0) return current;
    target.resize(static_cast<size_t>(size));
    if (target.front() != '/') {
      const auto slash = current.find_last_of('/');
      if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
    }
    current = target;
  }
  return current;
}

int ProcessId() { return static_cast<int>(getpid()); }

void RemoveFile(const char* path) { unlink(path); }

bool MoveOver(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

void RemoveOnInterrupt(const std::string& path) {
  if (path.size() >= sizeof gPending) return;
  std::memcpy(gPending, path.c_str(), path.size() + 1);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, OnInterrupt);
}

void ForgetOnInterrupt() {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
  gPending[0] = '\0';
}

ExistingOutput InspectOutput(const std::string& path) {
  // The kernel follows every link, those of /proc (/dev/stdout) included.
  ExistingOutput existing;
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return existing;
  existing.special = !S_ISREG(status.st_mode);
  if (!existing.special) existing.mode = static_cast<int>(status.st_mode & 07777);
  return existing;
}

int OpenUnnamedFile(const std::string& folder, std::string& openPath) {
#ifdef O_TMPFILE
  const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  openPath = "/proc/self/fd/" + std::to_string(fd);
  if (access(openPath.c_str(), W_OK) == 0) return fd;
  close(fd);
#else
  (void)folder;
  (void)openPath;
#endif
  return -1;  // no unnamed files here, or /proc is not there
}

void CloseUnnamedFile(int descriptor) { close(descriptor); }

void SetFileMode(int descriptor, const std::string& path, int mode) {
  if (descriptor >= 0)
    fchmod(descriptor, static_cast<mode_t>(mode));
  else
    chmod(path.c_str(), static_cast<mode_t>(mode));
}

bool NameUnnamedFile(const std::string& openPath, const std::string& finalPath, const std::string& spareName) {
  // A link cannot replace a file: a new final name is linked directly, an
  // existing one is replaced by renaming a name that lives only this long.
  if (linkat(AT_FDCWD, openPath.c_str(), AT_FDCWD, finalPath.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  unlink(spareName.c_str());
  if (linkat(AT_FDCWD, openPath.c_str(), AT_FDCWD, spareName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    if (std::rename(spareName.c_str(), finalPath.c_str()) == 0) return true;
    unlink(spareName.c_str());
  }
  return false;
}

std::vector<int> WaitReadable(const std::vector<int>& descriptors, int timeoutMs) {
  std::vector<pollfd> polled;
  for (int fd : descriptors) polled.push_back({fd, POLLIN, 0});
  std::vector<int> ready;
  if (poll(polled.data(), polled.size(), timeoutMs) <= 0) return ready;
  for (const pollfd& p : polled)
    if (p.revents & (POLLIN | POLLHUP | POLLERR)) ready.push_back(p.fd);
  return ready;
}

}  // namespace vellox::platform
