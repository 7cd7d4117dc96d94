#pragma once

// A broken invariant prints what broke and aborts, which libFuzzer records as
// a crash together with the input that caused it.
#define FUZZ_REQUIRE(condition, ...)                                         \
  do {                                                                       \
    if (!(condition)) FuzzFail(__FILE__, __LINE__, #condition, __VA_ARGS__); \
  } while (0)

[[noreturn]] void FuzzFail(const char* file, int line, const char* condition, const char* format, ...);
