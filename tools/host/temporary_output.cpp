#include "temporary_output.h"

#include "output_path.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
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
  if (mTemporary.size() < sizeof gPending) {
    std::memcpy(gPending, mTemporary.c_str(), mTemporary.size() + 1);
    WatchInterrupts();
  }
}

TemporaryOutput::~TemporaryOutput() {
  if (!mCommitted) RemoveFile(mTemporary.c_str());
  UnwatchInterrupts();
  gPending[0] = '\0';
}

bool TemporaryOutput::Commit(std::string& error) {
  if (!ReplaceFile(mTemporary, mFinal)) {
    error = "cannot write " + mShown + ": cannot move the finished file into place";
    return false;
  }
  mCommitted = true;
  gPending[0] = '\0';
  return true;
}

}  // namespace vellox::cli
