#include "GuiResources.h"

#include <windows.h>
#include <winternl.h>

namespace vellox::test {

namespace {

// One entry of the GDI handle table the PEB points to (64-bit layout).
struct GdiHandleEntry {
  unsigned long long object;
  unsigned short processId;
  unsigned short count;
  unsigned short unique;
  unsigned char type;  // 0: free
  unsigned char flags;
  unsigned long long user;
};
constexpr size_t kPebGdiTableOffset = 0xF8;
constexpr size_t kGdiTableEntries = 0x10000;

const char* ProcessEnvironmentBlock() {
  // The toolchain's inline TEB reader trips a bounds warning on its own code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  return reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
}

long CountGdiTableEntries() {
  const char* peb = ProcessEnvironmentBlock();
  const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiTableOffset);
  if (!table) return -1;
  long used = 0;
  for (size_t i = 0; i < kGdiTableEntries; ++i)
    if (table[i].type != 0) ++used;
  return used;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

long CountThreadWindows() {
  long count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

GuiObjectCounts CountGuiObjects() {
  GuiObjectCounts counts;
  counts.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  counts.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
  if (counts.gdi > 0 && counts.user > 0) {
    counts.source = "GetGuiResources";
    return counts;
  }
  counts.gdi = CountGdiTableEntries();
  counts.user = CountThreadWindows();
  counts.source = "GDI handle table and thread windows (GetGuiResources answers 0 here)";
  return counts;
}

}  // namespace vellox::test
