#pragma once
// What the host tool needs from the operating system, in one place: one file
// for Windows (platform_windows.cpp) and one for the POSIX systems
// (platform_posix.cpp) implement it. Paths and texts are UTF-8 throughout.
#include <cstdio>
#include <string>
#include <vector>

#include "plugin_search.h"

namespace vellox::platform {

// --- program ---
// The command-line arguments after the program name.
std::vector<std::string> ProgramArguments(int argc, char** argv);
bool StandardErrorIsTerminal();
// The running program's file; empty if the system does not say.
std::string ExecutableFile();

// --- modules ---
extern const char* const kModuleFolder;  // Contents/<this>/ of a bundle holds the binary
extern const char* const kModuleSuffix;
extern const char* const kModuleEntryName;
extern const char* const kModuleExitName;
// The loaded library, or null with `error` set.
void* OpenLibrary(const std::string& path, std::string& error);
void* FindSymbol(void* library, const char* name);
// Calls the module entry export `entry` of `library` the system's way.
bool EnterModule(void* library, void* entry);
void CloseLibrary(void* library);

// --- where a host looks for the bundle ---
// The help text's paragraph on it.
extern const char* const kPluginSearchHelp;
// Sets the context's folders this system knows (home or common files).
void FillSearchContext(cli::SearchContext& context);
// The system's VST 3 folders in a host's order, for `bundleName`.
std::vector<cli::SearchPlace> SystemSearchPlaces(const cli::SearchContext& context, const std::string& bundleName);
// `rest` inside `dir`, with the system's separator.
std::string JoinPath(const std::string& dir, const std::string& rest);

// --- files ---
FILE* OpenFile(const std::string& path, bool write);
bool IsFolder(const std::string& path);
// A named pipe or a character device (/dev/stdout): written directly.
bool IsPipeOrDevice(const std::string& path);
// Whether `path` is this process's standard output.
bool IsStandardOutput(const std::string& path);
// The file a chain of symbolic links ends at; `path` itself when it is no link.
std::string FollowLinks(const std::string& path);

// --- output files put in place when complete ---
int ProcessId();
void RemoveFile(const char* path);
bool MoveOver(const std::string& from, const std::string& to);
// Removes `path` if the process is interrupted, until ForgetOnInterrupt.
void RemoveOnInterrupt(const std::string& path);
void ForgetOnInterrupt();
// What is at an output path already: something that is not a plain file
// (written directly), or a plain file whose permission bits (`mode`) the new
// one keeps; mode -1 when there is none to keep.
struct ExistingOutput {
  bool special = false;
  int mode = -1;
};
ExistingOutput InspectOutput(const std::string& path);
// A file without a name in `folder` and a path that opens it; -1 where the
// system or the file system has none.
int OpenUnnamedFile(const std::string& folder, std::string& openPath);
void CloseUnnamedFile(int descriptor);
// Sets the permission bits of the open unnamed file, or (descriptor -1) of `path`.
void SetFileMode(int descriptor, const std::string& path, int mode);
// Gives the unnamed file opened by `openPath` the name `finalPath`, through
// `spareName` when a file is there already; false when it cannot.
bool NameUnnamedFile(const std::string& openPath, const std::string& finalPath, const std::string& spareName);

// Waits up to timeoutMs for any of the descriptors to become readable and
// returns those that are; Windows has no such descriptors and just waits.
std::vector<int> WaitReadable(const std::vector<int>& descriptors, int timeoutMs);

}  // namespace vellox::platform
