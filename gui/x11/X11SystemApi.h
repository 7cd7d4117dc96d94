#pragma once

#include <spawn.h>
#include <sys/types.h>

// The system calls through which the Linux editor reaches outside its window:
// starting the desktop's opener for a web address and reaping it. They go
// through this table so that a test can observe what the editor starts
// without starting anything.
struct X11SystemApi {
  int (*spawn)(pid_t* pid, const char* file, const posix_spawn_file_actions_t* actions,
               const posix_spawnattr_t* attributes, char* const argv[], char* const envp[]);
  pid_t (*waitChild)(pid_t pid, int* status, int options);
};

// The real system functions.
X11SystemApi DefaultX11SystemApi();

// The table in use by every editor of the process.
X11SystemApi ActiveX11SystemApi();

// Replaces the table; null members fall back to the real functions.
void SetX11SystemApi(const X11SystemApi& api);

// Whether `program` is an executable file in a directory of PATH.
bool ProgramOnPath(const char* program);
