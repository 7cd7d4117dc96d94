// The host tool on Windows: wide-character system calls behind UTF-8 texts.
#include <windows.h>
// After windows.h, which they need.
#include <io.h>
#include <process.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>

#include "platform.h"

namespace vellox::platform {

namespace {

// The one temporary file an interrupt must remove, kept where the console
// handler can read it without allocating.
char gPending[4096];

std::wstring Wide(const std::string& text) {
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (!wide.empty()) wide.pop_back();
  return wide;
}

std::string Utf8(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return {};
  return Utf8(buffer, static_cast<int>(length));
}

BOOL WINAPI OnConsoleInterrupt(DWORD) {
  if (gPending[0]) RemoveFile(gPending);
  return FALSE;  // the default handler ends the process
}

}  // namespace

// The wide command line keeps non-ASCII paths intact, which the narrow
// arguments (in the ANSI code page) do not.
std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8(wide[i], static_cast<int>(std::wcslen(wide[i]))));
  LocalFree(wide);
  return args;
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string ExecutableFile() {
  wchar_t buffer[32768];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return {};
  return Utf8(buffer, static_cast<int>(length));
}

const char* const kModuleFolder = "x86_64-win";
const char* const kModuleSuffix = ".vst3";
const char* const kModuleEntryName = "InitDll";
const char* const kModuleExitName = "ExitDll";

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(Wide(path).c_str());
  if (!module) error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(module);
}

void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

bool EnterModule(void* /*library*/, void* entry) { return reinterpret_cast<bool (*)()>(entry)(); }

void CloseLibrary(void* library) { FreeLibrary(reinterpret_cast<HMODULE>(library)); }

const char* const kPluginSearchHelp =
    "Without --plugin PATH the tool looks for Vellox.vst3 where a host does:\n"
    "beside this program (a build tree), then %CommonProgramFiles%\\VST3.\n";

void FillSearchContext(cli::SearchContext& context) { context.commonProgramFiles = Environment(L"CommonProgramFiles"); }

std::vector<cli::SearchPlace> SystemSearchPlaces(const cli::SearchContext& context, const std::string& bundleName) {
  std::vector<cli::SearchPlace> places;
  if (!context.commonProgramFiles.empty())
    places.push_back({JoinPath(context.commonProgramFiles, "VST3\\" + bundleName),
                      "the system VST 3 folder %CommonProgramFiles%\\VST3"});
  return places;
}

std::string JoinPath(const std::string& dir, const std::string& rest) {
  if (dir.empty()) return rest;
  return dir.back() == '\\' || dir.back() == '/' ? dir + rest : dir + '\\' + rest;
}

FILE* OpenFile(const std::string& path, bool write) {
  const std::wstring wide = Wide(path);
  return wide.empty() ? nullptr : _wfopen(wide.c_str(), write ? L"wb" : L"rb");
}

bool IsFolder(const std::string& path) {
  const std::wstring wide = Wide(path);
  if (wide.empty()) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPipeOrDevice(const std::string& /*path*/) { return false; }

bool IsStandardOutput(const std::string& /*path*/) { return false; }

std::string FollowLinks(const std::string& path) { return path; }

int ProcessId() { return _getpid(); }

void RemoveFile(const char* path) { DeleteFileW(Wide(path).c_str()); }

bool MoveOver(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void RemoveOnInterrupt(const std::string& path) {
  if (path.size() >= sizeof gPending) return;
  std::memcpy(gPending, path.c_str(), path.size() + 1);
  SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE);
}

void ForgetOnInterrupt() {
  SetConsoleCtrlHandler(OnConsoleInterrupt, FALSE);
  gPending[0] = '\0';
}

// Windows output files are always written under a hidden name and moved.
ExistingOutput InspectOutput(const std::string& /*path*/) { return {}; }

int OpenUnnamedFile(const std::string& /*folder*/, std::string& /*openPath*/) { return -1; }

void CloseUnnamedFile(int /*descriptor*/) {}

void SetFileMode(int /*descriptor*/, const std::string& /*path*/, int /*mode*/) {}

bool NameUnnamedFile(const std::string&, const std::string&, const std::string&) { return false; }

std::vector<int> WaitReadable(const std::vector<int>&, int timeoutMs) {
  Sleep(static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 0));
  return {};
}

}  // namespace vellox::platform
