#include "temporary_output.h"

#include "output_path.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vellox::cli {

namespace {

// The one temporary file an interrupt must remove. A fixed buffer, because the
// signal handler may only call async-signal-safe functions.
char gPending[4096];

#ifdef _WIN32
std::wstring Wide(const std::string& text) {
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (!wide.empty()) wide.pop_back();
  return wide;
}
void RemoveFile(const char* path) { DeleteFileW(Wide(path).c_str()); }
int ProcessId() { return _getpid(); }

BOOL WINAPI OnConsoleInterrupt(DWORD) {
  if (gPending[0]) RemoveFile(gPending);
  return FALSE;  // the default handler ends the process
}
void WatchInterrupts() { SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE); }
void UnwatchInterrupts() { SetConsoleCtrlHandler(OnConsoleInterrupt, FALSE); }
#else
void RemoveFile(const char* path) { unlink(path); }
int ProcessId() { return static_cast<int>(getpid()); }

void OnInterrupt(int signal) {
  if (gPending[0]) unlink(gPending);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
void WatchInterrupts() {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, OnInterrupt);
}
void UnwatchInterrupts() {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
}
#endif

std::string TemporaryName(const std::string& finalPath) {
  const auto slash = finalPath.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
  return dir + "." + name + ".partial-" + std::to_string(ProcessId());
}

#ifndef _WIN32
std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// -1 where the file system has no unnamed files or /proc is not there.
int OpenUnnamed(const std::string& folder, std::string& reopenPath) {
#ifdef O_TMPFILE
  const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  reopenPath = "/proc/self/fd/" + std::to_string(fd);
  if (access(reopenPath.c_str(), W_OK) == 0) return fd;
  close(fd);
#else
  (void)folder;
  (void)reopenPath;
#endif
  return -1;
}
#endif

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

TemporaryOutput::TemporaryOutput(std::string finalPath)
    : mShown(std::move(finalPath)), mFinal(FollowLinks(mShown)), mTemporary(TemporaryName(mFinal)) {
#ifndef _WIN32
  // The kernel follows every link, those of /proc (/dev/stdout) included.
  struct stat status {};
  if (stat(mShown.c_str(), &status) == 0) {
    if (!S_ISREG(status.st_mode)) {
      mDirect = true;
      mTemporary = mShown;
      return;
    }
    mKeptMode = static_cast<int>(status.st_mode & 07777);
  }
  std::string reopenPath;
  mUnnamed = OpenUnnamed(Folder(mFinal), reopenPath);
  if (mUnnamed >= 0) {
    mTemporary = reopenPath;
    return;
  }
#endif
  if (mTemporary.size() < sizeof gPending) {
    std::memcpy(gPending, mTemporary.c_str(), mTemporary.size() + 1);
    WatchInterrupts();
  }
}

TemporaryOutput::~TemporaryOutput() {
#ifndef _WIN32
  if (mUnnamed >= 0) close(mUnnamed);
#endif
  if (mDirect || mUnnamed >= 0) return;
  if (!mCommitted) RemoveFile(mTemporary.c_str());
  UnwatchInterrupts();
  gPending[0] = '\0';
}

bool TemporaryOutput::Commit(std::string& error) {
  if (mDirect) return mCommitted = true;
#ifndef _WIN32
  if (mKeptMode >= 0) {
    if (mUnnamed >= 0)
      fchmod(mUnnamed, static_cast<mode_t>(mKeptMode));
    else
      chmod(mTemporary.c_str(), static_cast<mode_t>(mKeptMode));
  }
  if (mUnnamed >= 0) {
    // A link cannot replace a file: a new final name is linked directly, an
    // existing one is replaced by renaming a name that lives only this long.
    if (linkat(AT_FDCWD, mTemporary.c_str(), AT_FDCWD, mFinal.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return mCommitted = true;
    const std::string named = TemporaryName(mFinal);
    unlink(named.c_str());
    if (linkat(AT_FDCWD, mTemporary.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      if (std::rename(named.c_str(), mFinal.c_str()) == 0) return mCommitted = true;
      unlink(named.c_str());
    }
    error = "cannot write " + mShown + ": cannot move the finished file into place";
    return false;
  }
#endif
  if (!ReplaceFile(mTemporary, mFinal)) {
    error = "cannot write " + mShown + ": cannot move the finished file into place";
    return false;
  }
  mCommitted = true;
  gPending[0] = '\0';
  return true;
}

}  // namespace vellox::cli
